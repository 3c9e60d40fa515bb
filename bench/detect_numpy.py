#!/usr/bin/env python3
"""The activation detector's steps written straightforwardly with NumPy and
SciPy (sosfiltfilt + find_peaks), timed on the same recording as the C++
detector: python3 detect_numpy.py FILE CHANNELS SAMPLES RATE.
FILE holds int32 samples, sample-major. Prints Seconds= and MarksFound=."""
import sys
import time

try:
    import numpy as np
    from scipy import ndimage, signal
except ImportError:
    sys.exit("detect_numpy.py needs python3-numpy and python3-scipy")


def band(lo, hi, fs):
    return np.vstack([signal.butter(2, lo, "high", fs=fs, output="sos"),
                      signal.butter(2, hi, "low", fs=fs, output="sos")])


def rhythm(x, fs, rlo, rhi):
    hi = min(2 * rhi / 60, 0.45 * fs)
    v = signal.sosfilt(band(rlo / 120, hi, fs), x)
    slope = np.maximum(0, v[:-1] - v[1:])
    step = max(1, int(fs / (8 * hi)))
    m = len(slope) // step
    train = slope[: m * step].reshape(m, step).mean(axis=1)
    rate = fs / step
    train = train - train.mean()
    n = 1 << int(np.ceil(np.log2(2 * len(train))))
    r = np.fft.irfft(np.abs(np.fft.rfft(train, n)) ** 2, n)[: len(train)]
    k0, k1 = max(1, int(rate / (rhi / 60))), min(len(r) - 2, int(np.ceil(rate / (rlo / 60))))
    k = np.arange(k0, k1 + 1)
    peak = (r[k] > 0) & (r[k] > r[k - 1]) & (r[k] >= r[k + 1])
    if not peak.any():
        return None
    return rate / k[peak][np.argmax(r[k][peak])]


def detect(x, fs, rlo=0.5, rhi=60.0, k=1.0):
    x = x - np.median(x)
    x = signal.medfilt(x, 5)
    f0 = rhythm(x, fs, rlo, rhi)
    if f0 is None:
        return np.array([], dtype=int)
    lo, hi = 0.5 * f0, min(20 * f0, 2 * rhi / 60, 0.4 * fs)
    y = signal.sosfiltfilt(band(lo, hi, fs), x)
    noise = 1.4826 * np.median(np.abs(y - np.median(y)))
    s = -np.gradient(y)
    reach = max(1, int(round(fs / (2 * hi))))
    before = ndimage.maximum_filter1d(y, 2 * reach + 1, origin=reach)
    after = ndimage.minimum_filter1d(y, 2 * reach + 1, origin=-reach)
    peaks, _ = signal.find_peaks(s, height=0)
    deflection = before[peaks] - after[peaks]
    peaks, deflection = peaks[deflection >= k * noise], deflection[deflection >= k * noise]
    marked = np.zeros_like(s)
    marked[peaks] = s[peaks]
    kept, _ = signal.find_peaks(marked, distance=max(1, int(0.7 * fs / f0)))
    d = before[kept] - after[kept]
    return kept[d >= 0.5 * np.median(d)] if len(d) else kept


def main():
    path, channels, samples, rate = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
    data = np.fromfile(path, dtype=np.int32).reshape(samples, channels).astype(np.float64)
    start = time.perf_counter()
    found = sum(len(detect(data[:, c].copy(), rate)) for c in range(channels))
    print("Seconds=%.3f" % (time.perf_counter() - start))
    print("MarksFound=%d" % found)


if __name__ == "__main__":
    main()
