#include "core/fft.h"

#include <fftw3.h>

#include <cmath>
#include <map>
#include <mutex>
#include <new>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace radmtf {

namespace {

// FFTW's planner is not thread-safe; fftw_execute_dft_r2c (_dft) on arrays
// other than the plan's is. Plans live until the program ends.
enum class Kind { kRealToComplex, kForward, kInverse };

struct PlanKey {
    std::size_t rows;
    std::size_t cols;
    bool aligned;
    Kind kind = Kind::kRealToComplex;
    auto operator<=>(const PlanKey&) const = default;
};

std::mutex& PlanMutex()
{
    static std::mutex mutex;
    return mutex;
}

fftw_plan Plan(std::size_t rows, std::size_t cols, bool aligned, Kind kind = Kind::kRealToComplex)
{
    static std::map<PlanKey, fftw_plan> plans;
    const std::lock_guard lock(PlanMutex());
    const PlanKey key{rows, cols, aligned, kind};
    if (const auto found = plans.find(key); found != plans.end()) return found->second;
    // Planned on arrays of FFTW's own alignment; arrays that lack it get a
    // plan without SIMD alignment assumptions.
    const unsigned flags = FFTW_ESTIMATE | (aligned ? 0u : FFTW_UNALIGNED);
    if (kind != Kind::kRealToComplex) {
        fftw_complex* in = fftw_alloc_complex(cols);
        fftw_complex* out = fftw_alloc_complex(cols);
        fftw_plan plan = in == nullptr || out == nullptr
                             ? nullptr
                             : fftw_plan_dft_1d(static_cast<int>(cols), in, out,
                                                kind == Kind::kForward ? FFTW_FORWARD : FFTW_BACKWARD, flags);
        fftw_free(in);
        fftw_free(out);
        if (plan == nullptr) throw std::runtime_error("FFTW could not plan a transform");
        plans.emplace(key, plan);
        return plan;
    }
    const std::size_t half = cols / 2 + 1;
    double* in = fftw_alloc_real(rows * cols);
    fftw_complex* out = fftw_alloc_complex(rows * half);
    if (in == nullptr || out == nullptr) {
        fftw_free(in);
        fftw_free(out);
        throw std::bad_alloc();
    }
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

// e^{-2 pi i c} for c in cycles, in long double: c is reduced to [-1/2, 1/2]
// first, so large phases keep their precision.
std::complex<double> Turn(long double cycles)
{
    const long double r = cycles - std::nearbyint(cycles);
    const long double angle = -2 * std::numbers::pi_v<long double> * r;
    return {static_cast<double>(std::cos(angle)), static_cast<double>(std::sin(angle))};
}

}  // namespace

void ComplexFft(const std::complex<double>* in, std::complex<double>* out, std::size_t n, bool inverse)
{
    if (n == 0) throw std::invalid_argument("empty transform");
    // FFTW leaves the input of an out-of-place complex transform as it is.
    auto* input = reinterpret_cast<fftw_complex*>(const_cast<std::complex<double>*>(in));
    auto* output = reinterpret_cast<fftw_complex*>(out);
    const bool aligned = fftw_alignment_of(reinterpret_cast<double*>(input)) == 0 &&
                         fftw_alignment_of(reinterpret_cast<double*>(output)) == 0;
    fftw_execute_dft(Plan(1, n, aligned, inverse ? Kind::kInverse : Kind::kForward), input, output);
}

ChirpZ::ChirpZ(std::size_t n, std::size_t count, double start, double step) : n_(n), count_(count)
{
    if (n == 0 || count == 0 || !std::isfinite(start) || !std::isfinite(step))
        throw std::invalid_argument("ChirpZ: no samples, no frequencies or a frequency not finite");
    length_ = 1;
    while (length_ < n + count - 1) length_ *= 2;
    const long double a = start, b = step;
    const auto square = [](std::size_t k) {
        return static_cast<long double>(k) * static_cast<long double>(k);
    };
    pre_.resize(n);
    for (std::size_t k = 0; k < n; ++k) pre_[k] = Turn(a * static_cast<long double>(k) + b * square(k) / 2);
    post_.resize(count);
    for (std::size_t m = 0; m < count; ++m) post_[m] = Turn(b * square(m) / 2) / static_cast<double>(length_);
    // exp(+2 pi i step t² / 2) for t = -(n-1) .. count-1, t at t mod length.
    std::vector<std::complex<double>, FftAllocator<std::complex<double>>> h(length_), transform(length_);
    for (std::size_t t = 0; t < count; ++t) h[t] = std::conj(Turn(b * square(t) / 2));
    for (std::size_t t = 1; t < n; ++t) h[length_ - t] = std::conj(Turn(b * square(t) / 2));
    ComplexFft(h.data(), transform.data(), length_, false);
    kernel_.assign(transform.begin(), transform.end());
}

void ChirpZ::operator()(const double* in, std::complex<double>* out) const
{
    std::vector<std::complex<double>, FftAllocator<std::complex<double>>> y(length_), z(length_);
    for (std::size_t k = 0; k < n_; ++k) y[k] = in[k] * pre_[k];
    ComplexFft(y.data(), z.data(), length_, false);
    for (std::size_t i = 0; i < length_; ++i) z[i] *= kernel_[i];
    ComplexFft(z.data(), y.data(), length_, true);
    for (std::size_t m = 0; m < count_; ++m) out[m] = y[m] * post_[m];
}

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
