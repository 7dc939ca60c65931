#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora (tests/fuzz/corpus/<target>/) from
the traffic the stand-ins exchange with the program and the examples of the
formats the program reads. Run it again after changing an input layout."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
TERMINATED, UNTERMINATED, SIZED, EMPTY = 0, 1, 2, 3
WITH_LINE_BREAKS = 4  # 0x01 in the text stands for a line feed


def records(*items):
    """Records for the WM_COPYDATA targets: (shape, text[, cbData])."""
    out = b""
    for item in items:
        shape, text = item[0], item[1].encode("latin-1")
        out += bytes([shape]) + text + b"\n"
        if shape == SIZED:
            out += bytes([item[2] & 0xFF, (item[2] >> 8) & 0x03])
    return out


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for name in os.listdir(folder):
        if name.startswith("seed-"):
            os.remove(os.path.join(folder, name))
    for index, data in enumerate(seeds):
        with open(os.path.join(folder, "seed-%02d" % index), "wb") as f:
            f.write(data)


IDLE, DIALLING, PLACING, ANSWERED, RINGING = range(5)
T = TERMINATED

# What the Skype model sends: call progress, the answers to the program's
# queries, and what the program must put up with.
skype = [
    bytes([IDLE]) + records((T, "SKYPEVERSION 8.1.0.2"), (T, "PROTOCOL 5"), (T, "PONG")),
    bytes([IDLE]) + records((T, "CALL 12 STATUS RINGING"), (T, "CALL 12 PARTNER_HANDLE echo123"),
                            (T, "USER (S)echo123 SPEEDDIAL 7"), (T, "CALL 12 STATUS MISSED")),
    bytes([IDLE]) + records((T, "CALL 7 STATUS ROUTING"), (T, "CALL 7 STATUS INPROGRESS"),
                            (T, "CALL 7 TYPE OUTGOING_P2P"), (T, "CALL 7 STATUS FINISHED")),
    bytes([IDLE]) + records((T, "CALL 3 PARTNER_HANDLE +15550100"), (T, "CALL 3 TYPE INCOMING_PSTN")),
    bytes([DIALLING]) + records((T, "CALL 21 STATUS ROUTING"), (T, "CALL 21 STATUS INPROGRESS")),
    bytes([DIALLING]) + records((T, "VOICEMAIL 4 STATUS PLAYING")),
    bytes([PLACING]) + records((T, "CALL 2 STATUS INPROGRESS"), (T, "CALL 2 TYPE OUTGOING_PSTN")),
    bytes([PLACING]) + records((T, "ERROR 71 Invalid target name"), (T, "ERROR 11")),
    bytes([PLACING]) + records((T, "CALL 2 STATUS BUSY")),
    bytes([ANSWERED]) + records((T, "CALL 1 STATUS INPROGRESS"), (T, "CALL 1 STATUS REFUSED")),
    bytes([ANSWERED]) + records((T, "MUTE ON"), (T, "AUDIO_IN USB Audio Device"), (T, "CALL 1 STATUS FAILED")),
    bytes([RINGING]) + records((T, "CALL 1 PARTNER_HANDLE echo123"), (T, "USER echo123 SPEEDDIAL"),
                               (T, "CALL 1 STATUS CANCELLED")),
    bytes([RINGING]) + records((T, "CALL 1 STATUS RINGING"), (T, "CALL 99 STATUS RINGING")),
    bytes([IDLE]) + records((UNTERMINATED, "CALL 5 STATUS RINGING"), (SIZED, "SKYPEVERSION 9", 3),
                            (SIZED, "PONG", 300), (EMPTY, "")),
    bytes([RINGING]) + records((T, "CALL 1 PARTNER_HANDLE " + "x" * 300)),
    bytes([IDLE]) + records((T, "SKYPEVERSION " + "8.1." * 80)),
    bytes([IDLE]) + records((T | WITH_LINE_BREAKS, "SKYPEVERSION 8.1\x01CALL 1 STATUS RINGING")),
]
write("skype_notifications", skype)

# The hook library's path report, and the log record it may send.
path = "C:\\Program Files\\magic Jack\\magicJack.exe"
write("hook_records", [
    records((T, "FILEPATH " + path)),
    records((T, "FILEPATH C:\\Program Files (x86)\\magicJack\\bin\\softphone.exe")),
    records((T, "LOGDATA handset 0x8E")),
    records((T, "filepath " + path), (T, "FILEPATHFILEPATH x FILEPATH")),
    records((UNTERMINATED, "FILEPATH " + path), (SIZED, "LOGDATA abc", 4), (EMPTY, "")),
    records((T, "FILEPATH " + "C:\\" + "long folder\\" * 30 + "x.exe")),
    records((T | WITH_LINE_BREAKS, "LOGDATA first\x01second")),
])

# The softphone's version values: what its releases write.
write("registry_version", [
    b"\x01" + v for v in (b"2012.1", b"2013.3", b"2013", b"17.0.1-build 2 \r\n", b"", b" ", b"9" * 300)
] + [b"\x00", b"\x02"])

# The adapters of both generations, a foreign device and a broken one.
def device(vendor, product, flags, lengths, serial):
    out = bytes([vendor, product, flags | (len(lengths) << 3)]) + bytes(lengths)
    out += bytes([len(serial)]) + serial.encode("utf-16-le")
    return out

write("adapter_bus", [
    bytes([1]) + device(0, 0, 0, [0], "MJ00A1B2C3D4"),
    bytes([1]) + device(0, 0, 0, [1], "MJ00A1B2C3D4"),
    bytes([2]) + device(0, 0, 0, [0, 1], "MJ00A1B2C3D4") + device(0, 2, 0, [1], "MJ00A1B2C3D5"),
    bytes([1 | 4]) + device(0, 1, 0, [0], "") + b"Storage0042",
    bytes([1]) + device(0, 0, 2, [0], "MJ00A1B2C3D4"),
    bytes([1]) + device(0, 0, 1, [0], "MJ00A1B2C3D4"),
    bytes([2]) + bytes([3, 0x6D, 0x04, 3, 0x1C, 0xC3, 0, 0]) + device(0, 0, 4, [0], "mj0123456789"),
    bytes([1]) + device(0, 0, 0, [0], "\u00e9j0123456789") + b"",
    bytes([4]) + b"7&2a3b&0&MJ00A1B2C3D4",
])

# Update replies: the server's answer, an error page, nothing.
write("update_reply", [
    b"\x01result=You have the latest release.\r\n",
    b"\x01result=A newer release, 2.07, is available.\nsecond line\n",
    b"\x01result=",
    b"\x01result=xresult=y",
    b"\x01Result=2.07",
    b"\x01<html><body>404 Not Found</body></html>\r\n",
    b"\x01",
    b"\x00",
])

# Settings files: options, speed-dial entries of every kind.
table = ("[Options]\r\nAutoMinimizeDialer=1\r\nAllowPinDialing=0\r\n[SpeedDial]\r\n"
         "n1=Bob\r\nt1=echo123\r\nn2=Office\r\nt2=+1 (555) 010-0100\r\nn7=Dan\r\nt7=dan.smith\r\n")
write("settings_file", [
    bytes([1, 0x01]) + table.encode(),
    bytes([2, 0x01]) + table.encode(),
    bytes([7, 0x08]) + table.encode(),
    bytes([1, 0x02 | 0x04]) + table.encode(),
    bytes([1, 0x02]) + table.encode(),
    bytes([3, 0x0F]) + b"[SpeedDial]\nt3=*#()-\nn3=\n",
    bytes([50, 0x09]) + b"[speeddial]\r\nT50=" + b"9" * 300 + b"\r\n",
    bytes([1, 0x03]) + b"[Options]\r\nAutoMinimizeDialer=2\r\nAllowPinDialing=1x\r\n",
])
