// Break positions from four fixed letter classes. The classes are the strings the program has
// always stored, kept exactly: letters outside them never give a break.
#include "layout/word_break.h"

#include "platform/unicode/text_case.h"

namespace vl {

namespace {

constexpr StringView Vowels = u"ŔĹ¨ČÎÓŰÝŢß";
constexpr StringView Consonants = u"ÁÂĂÄĆÇÉĘËĚÍĎĐŃŇÔŐÖ×ŘŮÜÚ";
constexpr StringView Signs = u"ÜÚ";
constexpr char16_t LetterE = u'É';

bool IsVowel(char16_t c)
{
    return Vowels.find(c) != StringView::npos;
}
bool IsConsonant(char16_t c)
{
    return Consonants.find(c) != StringView::npos;
}
bool IsSign(char16_t c)
{
    return Signs.find(c) != StringView::npos;
}

bool HasVowel(StringView s)
{
    for (char16_t c : s)
        if (IsVowel(c)) return true;
    return false;
}

// Position k (0-based here: a break after s[k]) may take a hyphen.
bool IsCandidate(StringView s, size_t k)
{
    char16_t c = s[k], next = s[k + 1];
    if (IsConsonant(c)) return !IsVowel(next) && !IsSign(next);
    if (!IsVowel(c) || next == LetterE) return false;
    // A doubled consonant followed by a vowel is split between the two consonants instead.
    bool doubled =
        k + 3 < s.size() && s[k + 1] == s[k + 2] && IsConsonant(s[k + 1]) && IsVowel(s[k + 3]);
    return !doubled;
}

} // namespace

size_t HyphenateWord(StringView line, size_t wordStart, size_t overflow)
{
    size_t end = line.find_first_of(u" .,-;", overflow);
    if (end == StringView::npos) end = line.size();
    if (end <= wordStart || end - wordStart <= 3 || overflow <= wordStart) return 0;
    String word = UpperCase(line.substr(wordStart, end - wordStart));
    if (word.size() != end - wordStart)
        return 0; // case mapping changed the length: positions would no longer match
    StringView s = word;
    // Largest k (length of the first part) below the overflow offset.
    for (size_t k = std::min(overflow - wordStart - 1, s.size() - 1); k >= 2; --k) {
        if (!IsCandidate(s, k - 1)) continue;
        StringView head = s.substr(0, k), tail = s.substr(k);
        if (tail.size() > 1 && HasVowel(head) && HasVowel(tail)) return k;
    }
    return 0;
}

} // namespace vl
