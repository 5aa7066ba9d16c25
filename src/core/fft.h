// Real-to-complex discrete Fourier transforms in double, through FFTW.
//
// Plans are made once per size (FFTW_ESTIMATE, so the same input gives the
// same numbers on every run) and shared; the transforms may be called from
// several threads at once.
#pragma once

#include <complex>
#include <cstddef>

namespace radmtf {

// out[k] = sum_j in[j] exp(-2 pi i j k / n), k = 0 .. n/2 (n/2 + 1 values).
// Preconditions: n >= 1; in holds n values, out n/2 + 1.
void RealFft(const double* in, std::complex<double>* out, std::size_t n);

// The 2-D transform of a row-major rows x cols image:
// out[r][k] = sum_{y,x} in[y][x] exp(-2 pi i (y r / rows + x k / cols)),
// r = 0 .. rows-1, k = 0 .. cols/2 (row-major, cols/2 + 1 per row).
// Preconditions: rows, cols >= 1; out holds rows x (cols/2 + 1) values.
void RealFft2d(const double* in, std::complex<double>* out, std::size_t rows, std::size_t cols);

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
