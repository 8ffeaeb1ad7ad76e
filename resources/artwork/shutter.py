"""The "CAMERA" shutter sound, synthesised.

A mechanical shutter makes two sharp clicks, the first curtain opening and the
second one closing it about a tenth of a second later, each click a short burst
of noise that sets the camera body ringing at a few resonances, with a soft
thump underneath. Between and after the clicks the mechanism whirrs and a
spring-driven lever ratchets back into place. Everything is built from those
parts here, from a fixed random seed, so that every render gives the same bytes.
"""

import math
import random

RATE = 22050
LENGTH = 17024  # samples: 0.772 s, the pause between hiding the window and grabbing
PEAK = 104  # largest excursion from the 8-bit midpoint 128: well clear of 0 and 255


def _click(out, start, gain, modes, rng, thump=(170.0, 0.55)):
    """Adds one shutter click at sample `start`: a noise transient, the body's
    resonances (frequency in Hz, decay time in s, relative level) and a low
    thump (frequency in Hz, relative level)."""
    body = 0.0
    for i in range(start, len(out)):
        t = (i - start) / RATE
        if t > 0.12:
            break
        noise = rng.uniform(-1.0, 1.0)
        body += 0.25 * (noise - body)  # the duller noise of the body, low passed
        value = noise * math.exp(-t / 0.003) + 1.6 * body * math.exp(-t / 0.009)
        for freq, decay, level in modes:
            value += level * math.sin(2 * math.pi * freq * t) * math.exp(-t / decay)
        value += thump[1] * math.sin(2 * math.pi * thump[0] * t) * math.exp(-t / 0.011)
        # A click has no attack to speak of, but a two-sample rise keeps it from
        # starting on a step.
        out[i] += gain * value * min(1.0, (i - start + 1) / 2)


def _whirr(out, start, end, gain, rng):
    """Adds the mechanism's running noise: band-limited noise with a slow flutter."""
    low = 0.0
    band = 0.0
    for i in range(start, min(end, len(out))):
        t = (i - start) / RATE
        span = (end - start) / RATE
        envelope = math.sin(math.pi * t / span)
        noise = rng.uniform(-1.0, 1.0)
        low += 0.18 * (noise - low)  # one-pole low pass, then take away the rumble
        band += 0.02 * (low - band)
        flutter = 0.6 + 0.4 * math.sin(2 * math.pi * 38 * t)
        out[i] += gain * envelope * flutter * (low - band)


def _ratchet(out, start, teeth, spacing, gain, rng):
    """Adds the lever returning over a ratchet: a row of small, fading ticks."""
    for k in range(teeth):
        level = gain * (1.0 - k / teeth) * rng.uniform(0.7, 1.0)
        tick = [(2900.0 + 300 * rng.random(), 0.0025, 0.8), (5200.0, 0.0015, 0.4)]
        _click(out, start + int(k * spacing * RATE), level, tick, rng, thump=(420.0, 0.1))


def samples():
    """The sound as unsigned 8-bit mono samples at 22050 Hz, LENGTH of them."""
    rng = random.Random(1967)
    out = [0.0] * LENGTH
    ms = RATE // 1000
    first_curtain = [(1850.0, 0.006, 0.45), (3420.0, 0.004, 0.35), (5150.0, 0.003, 0.25)]
    second_curtain = [(1620.0, 0.007, 0.5), (3080.0, 0.005, 0.35), (4700.0, 0.003, 0.25)]
    _click(out, 2 * ms, 1.0, first_curtain, rng)
    _whirr(out, 6 * ms, 100 * ms, 0.3, rng)
    _click(out, 96 * ms, 1.1, second_curtain, rng)
    _click(out, 108 * ms, 0.35, second_curtain, rng)  # the curtain bouncing on its stop
    _whirr(out, 120 * ms, 330 * ms, 0.15, rng)
    _ratchet(out, 150 * ms, 14, 0.011, 0.12, rng)

    # Fade the tail to silence well before the end, then scale to PEAK.
    fade_from, fade_to = 300 * ms, 420 * ms
    for i in range(fade_from, LENGTH):
        out[i] *= max(0.0, 1.0 - (i - fade_from) / (fade_to - fade_from))
    scale = PEAK / max(abs(v) for v in out)
    return bytes(128 + round(v * scale) for v in out)
