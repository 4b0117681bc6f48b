#!/usr/bin/env python3
# Synthesises the program's three short sounds (16-bit mono PCM, 22050 Hz)
# that the lap-choice dialog plays for the simulator's three legendary
# drivers. Run once; the .wav files are kept beside this script.
import math, struct, wave

RATE = 22050

def write(name, samples):
    with wave.open(name, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 26000)) for s in samples))

def envelope(i, n):
    attack, release = int(0.02 * RATE), int(0.15 * RATE)
    return min(1.0, i / attack, (n - i) / release)

def warble(seconds=0.7):  # a wavering whistle
    n = int(seconds * RATE)
    phase, out = 0.0, []
    for i in range(n):
        t = i / RATE
        phase += 2 * math.pi * (900 + 250 * math.sin(2 * math.pi * 7 * t)) / RATE
        out.append(0.6 * math.sin(phase) * envelope(i, n))
    return out

def engine(seconds=0.8):  # a flat-twelve blipping its throttle
    n = int(seconds * RATE)
    phase, out = 0.0, []
    for i in range(n):
        t = i / RATE
        f = 90 + 160 * math.exp(-((t - 0.3) ** 2) / 0.02)
        phase += 2 * math.pi * f / RATE
        s = sum(math.sin(k * phase) / k for k in (1, 2, 3, 5, 7))
        out.append(0.35 * s * envelope(i, n))
    return out

def chirp(seconds=0.6):  # a rising chirp
    n = int(seconds * RATE)
    phase, out = 0.0, []
    for i in range(n):
        t = i / RATE
        phase += 2 * math.pi * (400 + 1800 * t / seconds) / RATE
        out.append(0.6 * math.sin(phase) * envelope(i, n))
    return out

write("236.wav", warble())
write("237.wav", engine())
write("259.wav", chirp())
