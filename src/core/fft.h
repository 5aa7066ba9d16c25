// Discrete Fourier transforms in double, through FFTW, and the chirp-z
// transform (the transform at any equally spaced frequencies) built on them.
//
// Plans are made once per size (FFTW_ESTIMATE, so the same input gives the
// same numbers on every run) and shared; the transforms may be called from
// several threads at once.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace radmtf {

// out[k] = sum_j in[j] exp(-2 pi i j k / n), k = 0 .. n/2 (n/2 + 1 values).
// Preconditions: n >= 1; in holds n values, out n/2 + 1.
void RealFft(const double* in, std::complex<double>* out, std::size_t n);

// The 2-D transform of a row-major rows x cols image:
// out[r][k] = sum_{y,x} in[y][x] exp(-2 pi i (y r / rows + x k / cols)),
// r = 0 .. rows-1, k = 0 .. cols/2 (row-major, cols/2 + 1 per row).
// Preconditions: rows, cols >= 1; out holds rows x (cols/2 + 1) values.
void RealFft2d(const double* in, std::complex<double>* out, std::size_t rows, std::size_t cols);

// out[k] = sum_j in[j] exp(-2 pi i j k / n), k = 0 .. n-1, or with
// exp(+2 pi i j k / n) when inverse (not divided by n).
// Preconditions: n >= 1; in and out hold n values each and do not overlap.
void ComplexFft(const std::complex<double>* in, std::complex<double>* out, std::size_t n, bool inverse);

// The chirp-z transform of n real samples at count equally spaced frequencies:
// out[m] = sum_k in[k] exp(-2 pi i (start + m step) k), m = 0 .. count-1,
// start and step in cycles per sample, any real numbers (not only the DFT's
// multiples of 1/n). Bluestein's identity m k = (m² + k² − (m − k)²) / 2
// makes it a convolution, done by FFTs of a length >= n + count - 1; its
// chirps are computed once, in long double. Exact up to rounding, unlike
// an FFT interpolated between its bins.
// Preconditions: n, count >= 1; start, step finite.
class ChirpZ {
public:
    ChirpZ(std::size_t n, std::size_t count, double start, double step);
    // in holds n values, out count.
    void operator()(const double* in, std::complex<double>* out) const;

private:
    std::size_t n_ = 0, count_ = 0, length_ = 0;
    std::vector<std::complex<double>> pre_;     // exp(-2 pi i (start k + step k² / 2))
    std::vector<std::complex<double>> post_;    // exp(-2 pi i step m² / 2) / length
    std::vector<std::complex<double>> kernel_;  // the transform of exp(+2 pi i step t² / 2)
};

// Memory aligned for the transforms' vector code (other arrays work, slower).
void* FftAllocate(std::size_t bytes);
void FftFree(void* memory) noexcept;

template <typename T>
struct FftAllocator {
    using value_type = T;
    FftAllocator() = default;
    template <typename U>
    FftAllocator(const FftAllocator<U>&)
    {
    }
    T* allocate(std::size_t count) { return static_cast<T*>(FftAllocate(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t) noexcept { FftFree(memory); }
    template <typename U>
    bool operator==(const FftAllocator<U>&) const
    {
        return true;
    }
};

}  // namespace radmtf
