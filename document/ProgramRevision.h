#pragma once

// The revision of this program: written into saved applications, compared with
// loaded files and the version service, and sent ahead of every application payload.
constexpr int programRevision = 927;
constexpr const char* programVersion = "1.5.0";
