#pragma once

// The device link's timing. The program always uses these values; a test may shorten the waits
// that only pace the amplifier, to keep long transfers quick.
struct LinkTiming
{
    // Presence is checked five times a second: quick enough to show a plug-in at once, rare
    // enough that the device enumeration costs nothing noticeable.
    int tickMs = 200;
    // One firmware message per tick: the boot loader stores one message's data in well
    // under 20 ms.
    int streamTickMs = 20;
    // A reply normally arrives within a few milliseconds; 200 polls of 5 ms give up after ~1 s.
    int replyPollMs = 5;
    int maxReplyPolls = 200;
    // Frames are not acknowledged; the amplifier needs this long to take one in.
    int frameSpacingMs = 20;
    // The self test lets the amplifier store a block before reading it back.
    int selfTestSettleMs = 200;
};
