#pragma once

#include <gumbo.h>

#include <memory>
#include <string_view>

namespace tickwell {

// A document parsed by gumbo whose memory is given back without walking the tree: gumbo's own
// clean-up recurses once per level of nesting, which a hostile page can make deeper than the
// call stack. Every block gumbo takes is kept on a list and the list is freed at the end.
class ParsedHtml {
public:
    explicit ParsedHtml(std::string_view utf8);
    ~ParsedHtml();
    ParsedHtml(const ParsedHtml &) = delete;
    ParsedHtml &operator=(const ParsedHtml &) = delete;

    // The document node, or nothing when gumbo gave no result.
    const GumboNode *document() const { return m_output ? m_output->document : nullptr; }

private:
    struct Blocks;
    std::unique_ptr<Blocks> m_blocks;
    GumboOutput *m_output = nullptr;
};

} // namespace tickwell
