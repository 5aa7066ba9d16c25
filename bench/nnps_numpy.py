#!/usr/bin/python3
"""The NNPS recipe of radmtf written plainly in NumPy, to time against the
C++ kernel on the same files (written by build/bench/radmtf_nnps_bench FOLDER)
and to check that both give the same numbers.

    /usr/bin/python3 bench/nnps_numpy.py FOLDER
"""
import sys
import time

import numpy as np

SIZE, IMAGES, DX, OFFSET, GAIN = 3072, 6, 0.1, 100.0, 2000.0
N, STEP, LINES = 256, 128, 7


def nnps(images):
    area = min(int(round(125.0 / DX)), SIZE)
    a0 = (SIZE - area) // 2
    rois = (area - N) // STEP + 1
    covered = N + (rois - 1) * STEP
    g0 = (area - covered) // 2
    y, x = np.mgrid[0:area, 0:area].astype(float)
    design = np.stack([np.ones(area * area), x.ravel(), y.ravel(), x.ravel() ** 2,
                       (x * y).ravel(), y.ravel() ** 2], axis=1)
    total = np.zeros((N, N))
    ksum = 0.0
    for image in images:
        k = (image[a0:a0 + area, a0:a0 + area].astype(float) - OFFSET) / GAIN
        ksum += k[g0:g0 + covered, g0:g0 + covered].mean()
        coef, *_ = np.linalg.lstsq(design, k.ravel(), rcond=None)
        d = k - (design @ coef).reshape(area, area)
        for ry in range(rois):
            for rx in range(rois):
                roi = d[g0 + ry * STEP:g0 + ry * STEP + N, g0 + rx * STEP:g0 + rx * STEP + N]
                total += np.abs(np.fft.fft2(roi)) ** 2
    kbar = ksum / len(images)
    w = np.fft.fftshift(total) * DX * DX / (len(images) * rois * rois * N * N) / kbar ** 2
    f = (np.arange(N) - N // 2) / (N * DX)
    rows = [N // 2 + s * j for j in range(1, LINES + 1) for s in (1, -1)]
    fu = np.hypot(f[None, :], f[rows][:, None])
    su, sv = w[rows, :], w[:, rows].T
    freqs = np.arange(1, int(0.5 / DX / 0.05 + 1e-9) + 1) * 0.05
    out = []
    for f0 in freqs:
        sel = np.abs(fu - f0) <= 0.01 / DX * (1 + 1e-12)
        out.append((f0, su[sel].mean(), sv[sel].mean()))
    return out


def main():
    folder = sys.argv[1]
    images = [np.fromfile(f"{folder}/flat{i}.raw", dtype="<u2").reshape(SIZE, SIZE) for i in range(IMAGES)]
    start = time.perf_counter()
    cpu = time.process_time()
    points = nnps(images)
    wall, cpu = time.perf_counter() - start, time.process_time() - cpu
    print(f"NumPy NNPS of {IMAGES} flat fields of {SIZE} x {SIZE}: {wall * 1e3:.0f} ms wall, {cpu * 1e3:.0f} ms processor")
    reference = np.loadtxt(f"{folder}/nnps.csv", delimiter=",", skiprows=1)
    ours = np.array(points)
    worst = np.max(np.abs(ours[:, 1:] / reference[:, 1:] - 1.0))
    print(f"largest relative difference from radmtf's 1-D NNPS: {worst:.2e}")


if __name__ == "__main__":
    main()
