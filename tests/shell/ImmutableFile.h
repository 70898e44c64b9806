#pragma once

#include <juce_core/juce_core.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Sets or clears the file system's immutable flag: the one thing that makes a
// change or a rename over a file fail for root too. False where the file
// system has none.
inline bool setImmutable (const juce::File& file, bool immutable)
{
    const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl (fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl (fd, FS_IOC_SETFLAGS, &flags) == 0;

    if (fd >= 0)
        ::close (fd);

    return ok;
}
