#include "dicom/dictionary.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace radmtf {

namespace {

// The name the lookup reads from `start` on: up to the first TAB among the
// next 256 characters, empty when there is none.
std::string_view NameFrom(std::string_view text, std::size_t start)
{
    if (start >= text.size()) return {};
    const std::string_view window = text.substr(start, 256);
    const std::size_t tab = window.find('\t');
    if (tab == std::string_view::npos) return {};
    return window.substr(0, tab);
}

// A missing key starts the window at the TAB before the first entry's name,
// which yields an empty name by the same rule.
constexpr std::size_t kMissingStart = 9;

int UpperHexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The key "GGGG TAB EEEE" at text[at], as group << 16 | element, or -1.
long Key(std::string_view text, std::size_t at)
{
    if (text[at + 4] != '\t') return -1;
    long key = 0;
    for (std::size_t i = 0; i < 9; ++i) {
        if (i == 4) continue;
        const int digit = UpperHexDigit(text[at + i]);
        if (digit < 0) return -1;
        key = key * 16 + digit;
    }
    return key;
}

// Every key of a dictionary text with the name its first occurrence gives,
// built once: a lookup is then a binary search instead of a scan of the
// whole text. Keys are found wherever the text holds them, as the scan would.
class DictionaryIndex {
public:
    explicit DictionaryIndex(std::string_view text) : missing_(NameFrom(text, kMissingStart))
    {
        for (std::size_t at = 0; at + 9 <= text.size(); ++at) {
            const long key = Key(text, at);
            if (key >= 0) entries_.push_back({static_cast<std::uint32_t>(key), NameFrom(text, at + 10)});
        }
        // Stable: of equal keys the first occurrence stays first.
        std::stable_sort(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
    }

    std::string_view Name(std::uint32_t key) const
    {
        const auto found = std::lower_bound(entries_.begin(), entries_.end(), key,
                                            [](const Entry& e, std::uint32_t k) { return e.key < k; });
        return found != entries_.end() && found->key == key ? found->name : missing_;
    }

private:
    struct Entry {
        std::uint32_t key;
        std::string_view name;
    };
    std::vector<Entry> entries_;
    std::string_view missing_;
};

}  // namespace

std::string LookupElementName(std::string_view dictionaryText, std::uint16_t group, std::uint16_t element)
{
    const std::string_view builtIn = DicomDictionaryText();
    if (dictionaryText.data() == builtIn.data() && dictionaryText.size() == builtIn.size()) {
        static const DictionaryIndex index(builtIn);
        return std::string(index.Name((std::uint32_t{group} << 16) | element));
    }
    // Any other text is searched as it stands.
    char key[16];
    std::snprintf(key, sizeof key, "%04X\t%04X", group, element);
    const std::size_t found = dictionaryText.find(key);
    return std::string(NameFrom(dictionaryText, found == std::string_view::npos ? kMissingStart : found + 10));
}

}  // namespace radmtf
