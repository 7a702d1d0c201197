// Reading switches back: the time to build the decoder's tables on first use,
// and the time to decode one map, both a map that a setup gives (exact) and
// maps that no setup gives (nearest search). Prints medians.

#include "decode.h"
#include "evaluation.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <set>
#include <vector>

using namespace hvx;

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// CPU time of this thread: on a shared machine the wall time also counts
// the time other programs held the processor.
double threadCpuMicroseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Median time of one call, over `runs` calls.
double medianMicroseconds(int runs, const std::function<void()> &call)
{
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point t0 = Clock::now();
        call();
        times.push_back(microseconds(Clock::now() - t0));
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[size_t(runs / 2)];
}

SwitchMap mapOf(const char *s1, const char *s2, const char *s3, const char *s4)
{
    return *parseSwitchMap(QStringLiteral("S1=%1,S2=%2,S3=%3,S4=%4")
                               .arg(QLatin1String(s1), QLatin1String(s2), QLatin1String(s3), QLatin1String(s4)));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    const Clock::time_point t0 = Clock::now();
    const double cpu0 = threadCpuMicroseconds();
    const SwitchDecoder &decoder = SwitchDecoder::instance();
    const double firstUseCpu = threadCpuMicroseconds() - cpu0;
    const double firstUse = microseconds(Clock::now() - t0);

    // The same work again, for a median: evaluate every variant of each half.
    const QLocale locale = QLocale::c();
    const double rebuild = medianMicroseconds(5, [&] {
        EvaluationValues values;
        for (int i = 0; i < decoder.inputVariantCount(); ++i)
            Evaluate(decoder.setup(i, 0), values, locale);
        for (int o = 0; o < decoder.outputVariantCount(); ++o)
            Evaluate(decoder.setup(0, o), values, locale);
    });

    std::set<HalfPattern> inputs, outputs;
    for (int i = 0; i < decoder.inputVariantCount(); ++i)
        inputs.insert(decoder.inputPattern(i));
    for (int o = 0; o < decoder.outputVariantCount(); ++o)
        outputs.insert(decoder.outputPattern(o));
    std::printf("variants: %d input (%zu distinct patterns), %d output (%zu distinct patterns)\n",
                decoder.inputVariantCount(), inputs.size(), decoder.outputVariantCount(), outputs.size());
    std::printf("tables, first use:            %10.1f us wall, %.1f us CPU\n", firstUse, firstUseCpu);
    std::printf("tables, evaluation (median):  %10.1f us\n", rebuild);

    const int runs = 20001;
    struct Case {
        const char *name;
        SwitchMap map;
    };
    const Case cases[] = {
        { "exact (thermocouple, trip)",
          decoder.switches(decoder.inputVariantCount() / 2, decoder.outputVariantCount() - 4000) },
        { "one switch off", mapOf("010101001100", "001010100000", "101010000000", "000000000001") },
        { "far off, all on", mapOf("111111111111", "111111111111", "111111111111", "111111111111") },
        { "far off, alternating", mapOf("101010101010", "010101010101", "101010101010", "010101010101") },
    };
    for (const Case &c : cases) {
        DecodeResult r;
        const double decode = medianMicroseconds(runs, [&] { r = decoder.decode(c.map); });
        const double listed = medianMicroseconds(runs / 10, [&] { (void)decoder.list(decoder.decode(c.map), c.map); });
        std::printf("decode %-28s %8.2f us  (distance %d, %lld setups; with listing of 20: %8.2f us)\n", c.name, decode,
                    r.distance, static_cast<long long>(r.total()), listed);
    }
    return 0;
}
