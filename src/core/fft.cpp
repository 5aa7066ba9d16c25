#include "core/fft.h"

#include <fftw3.h>

#include <map>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>

namespace radmtf {

namespace {

// FFTW's planner is not thread-safe; fftw_execute_dft_r2c on arrays other
// than the plan's is. Plans live until the program ends.
struct PlanKey {
    std::size_t rows;
    std::size_t cols;
    bool aligned;
    auto operator<=>(const PlanKey&) const = default;
};

std::mutex& PlanMutex()
{
    static std::mutex mutex;
    return mutex;
}

fftw_plan Plan(std::size_t rows, std::size_t cols, bool aligned)
{
    static std::map<PlanKey, fftw_plan> plans;
    const std::lock_guard lock(PlanMutex());
    const PlanKey key{rows, cols, aligned};
    if (const auto found = plans.find(key); found != plans.end()) return found->second;
    // Planned on arrays of FFTW's own alignment; arrays that lack it get a
    // plan without SIMD alignment assumptions.
    const std::size_t half = cols / 2 + 1;
    double* in = fftw_alloc_real(rows * cols);
    fftw_complex* out = fftw_alloc_complex(rows * half);
    if (in == nullptr || out == nullptr) {
        fftw_free(in);
        fftw_free(out);
        throw std::bad_alloc();
    }
    const unsigned flags = FFTW_ESTIMATE | (aligned ? 0u : FFTW_UNALIGNED);
    fftw_plan plan =
        rows == 1 ? fftw_plan_dft_r2c_1d(static_cast<int>(cols), in, out, flags)
                  : fftw_plan_dft_r2c_2d(static_cast<int>(rows), static_cast<int>(cols), in, out, flags);
    fftw_free(in);
    fftw_free(out);
    if (plan == nullptr) throw std::runtime_error("FFTW could not plan a transform");
    plans.emplace(key, plan);
    return plan;
}

void Execute(const double* in, std::complex<double>* out, std::size_t rows, std::size_t cols)
{
    if (rows == 0 || cols == 0) throw std::invalid_argument("empty transform");
    // FFTW reads the input of an out-of-place r2c transform only.
    double* input = const_cast<double*>(in);
    auto* output = reinterpret_cast<fftw_complex*>(out);
    const bool aligned =
        fftw_alignment_of(input) == 0 && fftw_alignment_of(reinterpret_cast<double*>(output)) == 0;
    fftw_execute_dft_r2c(Plan(rows, cols, aligned), input, output);
}

}  // namespace

void* FftAllocate(std::size_t bytes)
{
    void* memory = fftw_malloc(bytes);
    if (memory == nullptr && bytes > 0) throw std::bad_alloc();
    return memory;
}

void FftFree(void* memory) noexcept
{
    fftw_free(memory);
}

void RealFft(const double* in, std::complex<double>* out, std::size_t n)
{
    Execute(in, out, 1, n);
}

void RealFft2d(const double* in, std::complex<double>* out, std::size_t rows, std::size_t cols)
{
    Execute(in, out, rows, cols);
}

}  // namespace radmtf
