// Bidi runs over ICU's ubidi.
#include "platform/fonts/bidi.h"

#include "base/exception.h"

#include <algorithm>
#include <memory>
#include <unicode/ubidi.h>

namespace vl {

namespace {

struct BidiDeleter
{
    void operator()(UBiDi* b) const { ubidi_close(b); }
};

// Hebrew starts the right-to-left blocks; below it (and outside the surrogate range, which
// holds the supplementary right-to-left scripts) every character is left to right or neutral.
bool MayNeedBidi(StringView text)
{
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x0590; });
}

} // namespace

std::vector<BidiRun> VisualRuns(StringView text, bool rightToLeftBase)
{
    std::vector<BidiRun> runs;
    if (text.empty()) return runs;
    if (!rightToLeftBase && !MayNeedBidi(text)) {
        runs.push_back({0, static_cast<int32_t>(text.size()), false});
        return runs;
    }
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<UBiDi, BidiDeleter> bidi(
        ubidi_openSized(static_cast<int32_t>(text.size()), 0, &error));
    ubidi_setPara(bidi.get(),
                  text.data(),
                  static_cast<int32_t>(text.size()),
                  rightToLeftBase ? UBIDI_RTL : UBIDI_LTR,
                  nullptr,
                  &error);
    int32_t count = U_SUCCESS(error) ? ubidi_countRuns(bidi.get(), &error) : 0;
    if (U_FAILURE(error)) {
        // The algorithm cannot fail on valid arguments; keep the text readable regardless.
        runs.push_back({0, static_cast<int32_t>(text.size()), rightToLeftBase});
        return runs;
    }
    runs.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        BidiRun run;
        run.RightToLeft = ubidi_getVisualRun(bidi.get(), i, &run.Start, &run.Length) == UBIDI_RTL;
        runs.push_back(run);
    }
    return runs;
}

} // namespace vl
