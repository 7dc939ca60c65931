#!/usr/bin/env python3
"""The far end of the stand-in adapter's audio line.

record FIFO DIR
    ALSA's file device writes every stream the program plays on the line
    into FIFO as a WAV stream. The line takes each stream at the pace it
    would play (its header's bytes per second), with the FIFO kept to one
    page, so that Wine hands the sound over as fast as a sound card would
    take it: ALSA's null sink behind the file device takes everything at
    once, which would let Wine run four times faster than real time and
    leave gaps of silence in the signal whenever its sound thread waited
    a little. Each stream, from its first byte to the device's close,
    becomes DIR/line-N.wav (N = 0, 1, ...; the header's sizes made right)
    and DIR/line-N.times, one "MS BYTES" line each time more had been
    written into the FIFO: the wall clock in milliseconds since 1970 when
    the file device had written BYTES bytes of the stream (looked at every
    2 ms). DIR/line-N.began appears with the stream's first bytes,
    DIR/line-N.wav only once the stream has ended. Runs until killed; the
    FIFO must be read before the program opens the device, since ALSA's
    open waits for a reader.

measure WAV TIMES
    Prints "RATE TONE_SAMPLE START_MS END_MS": the stream's sample rate, the
    sample at which the first tone of the caller-identification signal
    begins, and by when the program had handed the line the signal's first
    sample (its half second of leading silence included) and its last
    sample. Exits 1 when the stream holds no tone.

    ALSA's file device writes out what it is given only once it holds more
    than one buffer of the stream, and the rest when the stream ends: the
    bytes up to K had been handed over by the time the bytes up to K minus
    that buffer arrived. ALSA's null sink behind it always has room for a
    whole buffer, so while Wine has sound to give it hands the stream over a
    buffer per tick of its timer: the buffer is the size most reads bring
    until the signal's end (afterwards Wine gives a period of silence per
    tick).
"""
import fcntl
import os
import select
import struct
import sys
import termios
import time

# The signal's leading silence, in seconds, and a level that no sample of
# silence reaches and the signal's first tone sample (-1281 of 32767) does.
LEADING_SILENCE_S = 0.5
TONE_LEVEL = 300

F_SETPIPE_SZ = 1031
PIPE_PAGE = 4096
LOOK_S = 0.002
WAV_HEADER = 44


def now_ms():
    return time.time() * 1000.0


def pending(fd):
    return struct.unpack("i", fcntl.ioctl(fd, termios.FIONREAD, b"\0\0\0\0"))[0]


def take_rest(fd, data):
    while True:
        try:
            chunk = os.read(fd, 65536)
        except BlockingIOError:
            return
        if not chunk:
            return
        data += chunk


def take_stream(fd, began):
    """The stream's bytes and its "written" times, read at the stream's pace
    until the file device closes it; what is left then is taken at once, so
    that the next stream, which may open the FIFO moments later, is not
    taken for more of this one. Every turn either waits or sleeps: the
    recorder may run real-time, where a busy loop would starve the program."""
    data, times = bytearray(), []
    written_seen, started, byte_rate = 0, None, None
    watch = select.poll()
    watch.register(fd, select.POLLIN | select.POLLHUP)
    while True:
        events = watch.poll(LOOK_S * 1000)
        now = now_ms()
        waiting = pending(fd)
        written = len(data) + waiting
        if written != written_seen:
            if written_seen == 0:
                began()
            times.append((now, written))
            written_seen = written
        if any(event & select.POLLHUP for _, event in events):
            take_rest(fd, data)
            return data, times
        if waiting == 0:
            continue
        if byte_rate is None:
            if written < WAV_HEADER:
                time.sleep(LOOK_S)
                continue
            data += os.read(fd, WAV_HEADER - len(data))
            byte_rate = struct.unpack_from("<I", data, 28)[0] or 1
            started = now
        due = WAV_HEADER + int(byte_rate * (now - started) / 1000.0) - len(data)
        if due > 0:
            data += os.read(fd, min(due, waiting))
        else:
            time.sleep(LOOK_S)


def record(fifo, folder):
    count = 0
    while True:
        base = os.path.join(folder, "line-%d" % count)
        # Opened without waiting for a writer, so the FIFO is down to a page
        # before the file device writes into it.
        fd = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
        try:
            fcntl.fcntl(fd, F_SETPIPE_SZ, PIPE_PAGE)
            data, times = take_stream(fd, lambda: open(base + ".began", "w").close())
        finally:
            os.close(fd)
        if not data:
            continue
        with open(base + ".times", "w") as out:
            out.writelines("%.1f %d\n" % entry for entry in times)
        # The stream's header carries no sizes (ALSA cannot seek back in a
        # FIFO); the file is renamed into place whole.
        if data[:4] == b"RIFF" and len(data) >= WAV_HEADER:
            struct.pack_into("<I", data, 4, len(data) - 8)
            struct.pack_into("<I", data, 40, len(data) - WAV_HEADER)
        with open(base + ".part", "wb") as out:
            out.write(data)
        os.rename(base + ".part", base + ".wav")
        count += 1


def read_wav(path):
    """(rate, channels, bytes per sample, data offset, data) of a PCM WAV."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("%s is not a WAV file" % path)
    offset, fmt = 12, None
    while offset + 8 <= len(data):
        kind, size = data[offset:offset + 4], struct.unpack_from("<I", data, offset + 4)[0]
        if kind == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", data, offset + 8)
        elif kind == b"data":
            if fmt is None:
                raise ValueError("%s has no format before its data" % path)
            tag, channels, rate, _, _, bits = fmt
            if tag != 1 or bits != 16:
                raise ValueError("%s is not 16-bit PCM (tag %d, %d bits)" % (path, tag, bits))
            start = offset + 8
            return rate, channels, 2, start, data[start:start + size]
        offset += 8 + size + (size & 1)
    raise ValueError("%s has no data chunk" % path)


def arrival_ms(times, byte_count):
    """When the first byte_count bytes of the stream had arrived."""
    for ms, arrived in times:
        if arrived >= byte_count:
            return ms
    raise ValueError("the stream never reached byte %d" % byte_count)


def held_back(times, until):
    """The size most reads brought after the first (the header's) up to byte
    until, the smaller one of a tie; 0 for a stream read at once."""
    sizes = [b[1] - a[1] for a, b in zip(times[1:], times[2:]) if b[1] <= until]
    if not sizes:
        return 0
    return min(sizes, key=lambda size: (-sizes.count(size), size))


def measure(wav, times_path):
    rate, channels, width, header, data = read_wav(wav)
    frame = channels * width
    samples = struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])
    loud = [i // channels for i, s in enumerate(samples) if abs(s) >= TONE_LEVEL]
    if not loud:
        print("no tone in %s" % wav, file=sys.stderr)
        return 1
    sounding = [i // channels for i, s in enumerate(samples) if s != 0]
    tone = loud[0]
    first = tone - int(round(LEADING_SILENCE_S * rate))
    last = sounding[-1]
    with open(times_path) as f:
        times = [(float(ms), int(count)) for ms, count in (line.split() for line in f if line.strip())]
    end = header + (last + 1) * frame
    held = held_back(times, end)
    start_ms = arrival_ms(times, header + max(first * frame - held, 0) + 1)
    end_ms = arrival_ms(times, end - held)
    print("%d %d %.1f %.1f" % (rate, tone, start_ms, end_ms))
    return 0


def main(argv):
    if len(argv) == 4 and argv[1] == "record":
        record(argv[2], argv[3])
        return 0
    if len(argv) == 4 and argv[1] == "measure":
        return measure(argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
