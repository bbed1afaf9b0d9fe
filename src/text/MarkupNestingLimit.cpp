#include "text/MarkupNestingLimit.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tickwell {

namespace {

constexpr int kMaxAttributes = 64;
constexpr int kMaxOpenFormatting = 64;
// Tags opened in the deeper half cost the parser a walk of its stack each; past this many, the
// page is hostile and they are left out as well.
constexpr int kMaxDeepStartTags = 10000;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// The parser reads a carriage return as a line feed.
bool IsTagSpace(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// What the nesting rules need to know of an element, by name.
enum Trait : unsigned {
    Void = 1u << 0,
    Formatting = 1u << 1,
    ClosesParagraph = 1u << 2, // ends an open <p> in button scope
    Heading = 1u << 3,
    Special = 1u << 4, // stops the search for an open <li>, <dd> or <dt>
    ScopeBoundary = 1u << 5,
    TableBoundary = 1u << 6,
    BreaksOut = 1u << 7, // leaves SVG or MathML content for HTML
    ForeignRoot = 1u << 8,
    IntegrationPoint = 1u << 9, // content inside SVG or MathML that is HTML again
    RawText = 1u << 10,
    ScriptText = 1u << 11,
    PlainText = 1u << 12,
    Root = 1u << 13, // html, head, body: never nested
};

struct KnownElement {
    std::string_view name;
    unsigned traits;
};

constexpr unsigned kBlock = ClosesParagraph | Special;

constexpr KnownElement kKnownElements[] = {
    { "a", Formatting }, { "address", kBlock }, { "annotation-xml", IntegrationPoint | ScopeBoundary },
    { "applet", Special | ScopeBoundary }, { "area", Void | Special }, { "article", kBlock }, { "aside", kBlock },
    { "b", Formatting | BreaksOut }, { "base", Void | Special }, { "basefont", Void | Special },
    { "bgsound", Void | Special }, { "big", Formatting | BreaksOut }, { "blockquote", kBlock | BreaksOut },
    { "body", Root | Special | BreaksOut }, { "br", Void | Special | BreaksOut }, { "button", Special },
    { "caption", Special | ScopeBoundary }, { "center", kBlock | BreaksOut }, { "code", Formatting | BreaksOut },
    { "col", Void | Special }, { "colgroup", Special }, { "dd", kBlock | BreaksOut },
    { "desc", IntegrationPoint | ScopeBoundary }, { "details", kBlock }, { "dialog", ClosesParagraph }, { "dir", kBlock },
    { "div", kBlock | BreaksOut }, { "dl", kBlock | BreaksOut }, { "dt", kBlock | BreaksOut },
    { "em", Formatting | BreaksOut }, { "embed", Void | Special | BreaksOut }, { "fieldset", kBlock },
    { "figcaption", kBlock }, { "figure", kBlock }, { "font", Formatting }, { "footer", kBlock },
    { "foreignobject", IntegrationPoint | ScopeBoundary }, { "form", kBlock }, { "frame", Void | Special },
    { "frameset", Special }, { "h1", kBlock | Heading | BreaksOut }, { "h2", kBlock | Heading | BreaksOut },
    { "h3", kBlock | Heading | BreaksOut }, { "h4", kBlock | Heading | BreaksOut }, { "h5", kBlock | Heading | BreaksOut },
    { "h6", kBlock | Heading | BreaksOut }, { "head", Root | Special | BreaksOut }, { "header", kBlock },
    { "hgroup", kBlock }, { "hr", Void | Special | BreaksOut }, { "html", Root | Special | ScopeBoundary | TableBoundary },
    { "i", Formatting | BreaksOut }, { "iframe", Special | RawText }, { "image", Void },
    { "img", Void | Special | BreaksOut }, { "input", Void | Special }, { "keygen", Void }, { "li", kBlock | BreaksOut },
    { "link", Void | Special }, { "listing", kBlock | BreaksOut }, { "main", kBlock },
    { "marquee", Special | ScopeBoundary }, { "math", ForeignRoot | Special | ScopeBoundary },
    { "menu", kBlock | BreaksOut }, { "menuitem", Void }, { "meta", Void | Special | BreaksOut },
    { "mi", IntegrationPoint | ScopeBoundary }, { "mn", IntegrationPoint | ScopeBoundary },
    { "mo", IntegrationPoint | ScopeBoundary }, { "ms", IntegrationPoint | ScopeBoundary },
    { "mtext", IntegrationPoint | ScopeBoundary }, { "nav", kBlock }, { "nobr", Formatting | BreaksOut },
    { "noembed", Special | RawText }, { "noframes", Special | RawText }, { "noscript", Special },
    { "object", Special | ScopeBoundary }, { "ol", kBlock | BreaksOut }, { "p", ClosesParagraph | BreaksOut },
    { "param", Void | Special }, { "plaintext", kBlock | PlainText }, { "pre", kBlock | BreaksOut },
    { "ruby", BreaksOut }, { "s", Formatting | BreaksOut }, { "script", Special | ScriptText }, { "section", kBlock },
    { "select", Special }, { "small", Formatting | BreaksOut }, { "source", Void | Special }, { "span", BreaksOut },
    { "strike", Formatting | BreaksOut }, { "strong", Formatting | BreaksOut }, { "style", Special | RawText },
    { "sub", BreaksOut }, { "summary", kBlock }, { "sup", BreaksOut }, { "svg", ForeignRoot | Special | ScopeBoundary },
    { "table", kBlock | ScopeBoundary | TableBoundary | BreaksOut }, { "tbody", Special },
    { "td", Special | ScopeBoundary }, { "template", Special | ScopeBoundary | TableBoundary },
    { "textarea", Special | RawText }, { "tfoot", Special }, { "th", Special | ScopeBoundary }, { "thead", Special },
    { "title", Special | RawText | IntegrationPoint | ScopeBoundary }, { "tr", Special }, { "track", Void | Special },
    { "tt", Formatting | BreaksOut }, { "u", Formatting | BreaksOut }, { "ul", kBlock | BreaksOut },
    { "var", BreaksOut }, { "wbr", Void | Special }, { "xmp", kBlock | RawText },
};

// Element names as small numbers with their traits; names outside the table are numbered as
// they come, so that end tags of unknown elements still find their start tag.
class ElementNames {
public:
    ElementNames()
    {
        for (const KnownElement &element : kKnownElements)
            add(std::string(element.name), element.traits);
    }

    int id(const std::string &name)
    {
        const auto it = m_ids.find(name);
        return it != m_ids.end() ? it->second : add(name, 0);
    }
    unsigned traits(int id) const { return m_traits[size_t(id)]; }
    bool has(int id, unsigned trait) const { return (m_traits[size_t(id)] & trait) != 0; }
    size_t count() const { return m_traits.size(); }

private:
    int add(const std::string &name, unsigned traits)
    {
        const int id = int(m_traits.size());
        m_ids.emplace(name, id);
        m_traits.push_back(traits);
        return id;
    }

    std::unordered_map<std::string, int> m_ids;
    std::vector<unsigned> m_traits;
};

struct Tag {
    qsizetype end = -1; // just after ">", or -1 when the input ends inside the tag
    std::string name;
    int attributes = 0;
    bool selfClosing = false;
    bool fontBreakout = false; // color, face or size: a <font> that leaves foreign content
};

// Reads a tag from the first letter of its name, following the tokenizer's states for names,
// attributes and quoted values (a ">" inside quotes does not end the tag).
Tag ReadTag(QByteArrayView s, qsizetype at)
{
    Tag tag;
    const qsizetype n = s.size();
    while (at < n && !IsTagSpace(s[at]) && s[at] != '/' && s[at] != '>')
        tag.name += LowerAscii(s[at++]);
    for (;;) {
        while (at < n && IsTagSpace(s[at]))
            ++at;
        if (at >= n)
            return tag;
        if (s[at] == '>') {
            tag.end = at + 1;
            return tag;
        }
        if (s[at] == '/') {
            ++at;
            if (at < n && s[at] == '>') {
                tag.selfClosing = true;
                tag.end = at + 1;
                return tag;
            }
            continue;
        }
        const qsizetype nameStart = at++;
        while (at < n && !IsTagSpace(s[at]) && s[at] != '/' && s[at] != '>' && s[at] != '=')
            ++at;
        ++tag.attributes;
        std::string attribute;
        for (qsizetype k = nameStart; k < at && attribute.size() < 6; ++k)
            attribute += LowerAscii(s[k]);
        tag.fontBreakout = tag.fontBreakout || attribute == "color" || attribute == "face" || attribute == "size";
        while (at < n && IsTagSpace(s[at]))
            ++at;
        if (at >= n || s[at] != '=')
            continue;
        ++at;
        while (at < n && IsTagSpace(s[at]))
            ++at;
        if (at >= n)
            return tag;
        const char c = s[at];
        if (c == '"' || c == '\'') {
            const qsizetype close = s.indexOf(c, at + 1);
            if (close < 0)
                return tag;
            at = close + 1;
        } else {
            while (at < n && !IsTagSpace(s[at]) && s[at] != '>')
                ++at;
        }
    }
}

bool StartsWithIgnoringCase(QByteArrayView s, qsizetype at, std::string_view lower)
{
    if (s.size() - at < qsizetype(lower.size()))
        return false;
    for (size_t k = 0; k < lower.size(); ++k) {
        if (LowerAscii(s[at + qsizetype(k)]) != lower[k])
            return false;
    }
    return true;
}

// "</name" followed by what ends a tag name, at position at.
bool IsEndTagOf(QByteArrayView s, qsizetype at, std::string_view name)
{
    if (!StartsWithIgnoringCase(s, at, "</") || !StartsWithIgnoringCase(s, at + 2, name))
        return false;
    const qsizetype after = at + 2 + qsizetype(name.size());
    return after < s.size() && (IsTagSpace(s[after]) || s[after] == '/' || s[after] == '>');
}

// Where the raw text of the element ends: at its end tag, or at the end of the input.
qsizetype EndOfRawText(QByteArrayView s, qsizetype at, std::string_view name)
{
    for (qsizetype lt = s.indexOf('<', at); lt >= 0; lt = s.indexOf('<', lt + 1)) {
        if (IsEndTagOf(s, lt, name))
            return lt;
    }
    return s.size();
}

// Script text has its own escapes: inside "<!--", a nested "<script>" hides the next "</script>".
qsizetype EndOfScript(QByteArrayView s, qsizetype at)
{
    enum { Plain, Escaped, DoubleEscaped } state = Plain;
    for (qsizetype i = at; i < s.size(); ++i) {
        if (s[i] == '-' && StartsWithIgnoringCase(s, i, "-->")) {
            state = Plain;
            i += 2;
        } else if (s[i] != '<') {
            continue;
        } else if (state == Plain && StartsWithIgnoringCase(s, i, "<!--")) {
            state = Escaped;
            i += 3;
        } else if (IsEndTagOf(s, i, "script")) {
            if (state != DoubleEscaped)
                return i;
            state = Escaped;
        } else if (state == Escaped && StartsWithIgnoringCase(s, i, "<script")) {
            const qsizetype after = i + 7;
            if (after < s.size() && (IsTagSpace(s[after]) || s[after] == '/' || s[after] == '>'))
                state = DoubleEscaped;
        }
    }
    return s.size();
}

// Where a comment that starts with "<!--" at position at ends (just after it).
qsizetype EndOfComment(QByteArrayView s, qsizetype at)
{
    const qsizetype body = at + 4;
    if (StartsWithIgnoringCase(s, body, ">"))
        return body + 1;
    if (StartsWithIgnoringCase(s, body, "->"))
        return body + 2;
    for (qsizetype dash = s.indexOf("--", body); dash >= 0; dash = s.indexOf("--", dash + 1)) {
        if (StartsWithIgnoringCase(s, dash + 2, ">"))
            return dash + 3;
        if (StartsWithIgnoringCase(s, dash + 2, "!>"))
            return dash + 4;
    }
    return s.size();
}

qsizetype EndOfBogusComment(QByteArrayView s, qsizetype at)
{
    const qsizetype close = s.indexOf('>', at);
    return close < 0 ? s.size() : close + 1;
}

// The parser's stack of open elements, as far as nesting goes. Each level remembers whether its
// content is SVG or MathML, and a count per name lets most searches end before they begin.
class OpenElements {
public:
    OpenElements(ElementNames &names, int maxDepth) : m_names(names), m_maxDepth(maxDepth) {}

    bool full() const { return int(m_stack.size()) >= m_maxDepth; }
    bool formattingFull() const { return m_openFormatting >= kMaxOpenFormatting; }
    bool inForeignContent() const { return !m_stack.empty() && m_stack.back().foreignContent; }
    bool isOpen(int id) const { return size_t(id) < m_counts.size() && m_counts[size_t(id)] > 0; }

    bool inSelect() const
    {
        if (!isOpen(m_select))
            return false;
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            if (it->id == m_select)
                return true;
            if (m_names.has(it->id, ScopeBoundary))
                return false;
        }
        return false;
    }

    // Leaves SVG or MathML content: everything up to the innermost <svg> or <math> is closed.
    void leaveForeignContent()
    {
        while (!m_stack.empty() && !m_names.has(m_stack.back().id, ForeignRoot))
            pop();
        if (!m_stack.empty())
            pop();
    }

    // The ends a start tag implies before it opens its element.
    void closeImpliedBy(int id)
    {
        const unsigned traits = m_names.traits(id);
        if (traits & ClosesParagraph)
            closeInScope({ m_p }, ScopeBoundary, true);
        if (id == m_li)
            closeListItem({ m_li });
        else if (id == m_dd || id == m_dt)
            closeListItem({ m_dd, m_dt });
        else if ((traits & Heading) && !m_stack.empty() && m_names.has(m_stack.back().id, Heading))
            pop();
        else if (id == m_option || id == m_optgroup) {
            if (!m_stack.empty() && m_stack.back().id == m_option)
                pop();
            if (id == m_optgroup && !m_stack.empty() && m_stack.back().id == m_optgroup)
                pop();
        } else if (id == m_td || id == m_th)
            closeInScope({ m_td, m_th }, TableBoundary, false);
        else if (id == m_tr)
            closeInScope({ m_tr }, TableBoundary, false);
        else if (id == m_tbody || id == m_thead || id == m_tfoot)
            closeInScope({ m_tbody, m_thead, m_tfoot }, TableBoundary, false);
    }

    void push(int id)
    {
        const bool foreignContent = m_names.has(id, ForeignRoot) || (inForeignContent() && !m_names.has(id, IntegrationPoint));
        if (m_names.has(id, Formatting))
            ++m_openFormatting;
        if (size_t(id) >= m_counts.size())
            m_counts.resize(m_names.count());
        ++m_counts[size_t(id)];
        m_stack.push_back({ id, foreignContent });
    }

    int depth() const { return int(m_stack.size()); }

    // An end tag closes the innermost element of its name and everything opened inside it; but
    // a formatting element with a block inside is taken out of the stack and opened again
    // above the block, which stays open.
    void closeByEndTag(int id)
    {
        if (!isOpen(id))
            return;
        if (m_names.has(id, Formatting)) {
            auto formatting = std::find_if(m_stack.rbegin(), m_stack.rend(), [id](const Level &level) { return level.id == id; });
            const bool blockInside = std::any_of(m_stack.rbegin(), formatting,
                [this](const Level &level) { return m_names.has(level.id, Special); });
            if (blockInside) {
                m_stack.erase(std::next(formatting).base());
                m_stack.push_back({ id, inForeignContent() });
                return;
            }
        }
        close(id);
    }

    void close(int id)
    {
        if (!isOpen(id))
            return;
        while (m_stack.back().id != id)
            pop();
        pop();
    }

private:
    struct Level {
        int id;
        bool foreignContent; // whether the element's own content is SVG or MathML
    };

    void pop()
    {
        const int id = m_stack.back().id;
        if (m_names.has(id, Formatting))
            --m_openFormatting;
        --m_counts[size_t(id)];
        m_stack.pop_back();
    }

    bool anyOpen(std::initializer_list<int> ids) const
    {
        return std::any_of(ids.begin(), ids.end(), [this](int id) { return isOpen(id); });
    }

    // Closes the innermost open target, searching down from the top until an element stops the
    // search.
    template <typename Stops>
    void closeInnermost(std::initializer_list<int> targets, Stops stops)
    {
        if (!anyOpen(targets))
            return;
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            if (std::find(targets.begin(), targets.end(), it->id) != targets.end()) {
                close(it->id);
                return;
            }
            if (stops(it->id))
                return;
        }
    }

    void closeInScope(std::initializer_list<int> targets, Trait boundary, bool buttonScope)
    {
        closeInnermost(targets, [&](int id) { return m_names.has(id, boundary) || (buttonScope && id == m_button); });
    }

    void closeListItem(std::initializer_list<int> targets)
    {
        closeInnermost(targets, [this](int id) { return m_names.has(id, Special) && id != m_address && id != m_div && id != m_p; });
    }

    ElementNames &m_names;
    int m_maxDepth;
    std::vector<Level> m_stack;
    std::vector<int> m_counts;
    int m_openFormatting = 0;
    const int m_p = m_names.id("p"), m_li = m_names.id("li"), m_dd = m_names.id("dd"), m_dt = m_names.id("dt"),
              m_option = m_names.id("option"), m_optgroup = m_names.id("optgroup"), m_td = m_names.id("td"),
              m_th = m_names.id("th"), m_tr = m_names.id("tr"), m_tbody = m_names.id("tbody"),
              m_thead = m_names.id("thead"), m_tfoot = m_names.id("tfoot"), m_button = m_names.id("button"),
              m_address = m_names.id("address"), m_div = m_names.id("div"), m_select = m_names.id("select");
};

class NestingLimiter {
public:
    NestingLimiter(QByteArrayView html, int maxDepth) : m_html(html), m_maxDepth(maxDepth), m_open(m_names, maxDepth) {}

    QByteArray run()
    {
        const qsizetype n = m_html.size();
        qsizetype at = 0;
        while (at < n) {
            const qsizetype lt = m_html.indexOf('<', at);
            if (lt < 0 || lt + 1 >= n)
                break;
            at = markupAt(lt);
        }
        if (!m_changed)
            return m_html.toByteArray();
        m_out.append(m_html.sliced(m_copied));
        return m_out;
    }

private:
    // Handles what starts with "<" at lt; returns where reading goes on.
    qsizetype markupAt(qsizetype lt)
    {
        const char next = m_html[lt + 1];
        if (next == '!') {
            if (StartsWithIgnoringCase(m_html, lt, "<!--"))
                return EndOfComment(m_html, lt);
            if (m_open.inForeignContent() && m_html.sliced(lt).startsWith("<![CDATA[")) {
                const qsizetype close = m_html.indexOf("]]>", lt + 9);
                return close < 0 ? m_html.size() : close + 3;
            }
            return EndOfBogusComment(m_html, lt);
        }
        if (next == '?')
            return EndOfBogusComment(m_html, lt);
        if (next == '/') {
            if (lt + 2 >= m_html.size())
                return m_html.size();
            if (IsAsciiLetter(m_html[lt + 2]))
                return endTag(lt);
            return m_html[lt + 2] == '>' ? lt + 3 : EndOfBogusComment(m_html, lt);
        }
        if (IsAsciiLetter(next))
            return startTag(lt);
        return lt + 1;
    }

    qsizetype endTag(qsizetype lt)
    {
        const Tag tag = ReadTag(m_html, lt + 2);
        if (tag.end < 0)
            return m_html.size();
        const int id = m_names.id(tag.name);
        // Deep inside, an end tag that closes nothing only makes the parser search its whole stack.
        if (!m_open.isOpen(id) && m_open.depth() >= m_maxDepth / 2 && !(m_names.traits(id) & Root) && id != m_names.id("p")
            && id != m_names.id("br")) {
            replace(lt, tag.end, {});
            return tag.end;
        }
        m_open.closeByEndTag(id);
        if (tag.attributes > kMaxAttributes)
            replace(lt, tag.end, "</" + tag.name + ">");
        return tag.end;
    }

    qsizetype startTag(qsizetype lt)
    {
        const Tag tag = ReadTag(m_html, lt + 1);
        if (tag.end < 0)
            return m_html.size();
        const int id = m_names.id(tag.name);
        const unsigned traits = m_names.traits(id);
        bool foreign = m_open.inForeignContent();
        if (foreign && ((traits & BreaksOut) || (tag.name == "font" && tag.fontBreakout))) {
            m_open.leaveForeignContent();
            foreign = m_open.inForeignContent();
        }
        if ((traits & Root) || (!foreign && (traits & Void)))
            return keep(lt, tag);
        if ((traits & ForeignRoot) && m_open.inSelect())
            return keep(lt, tag); // the parser leaves it out
        if (!foreign)
            m_open.closeImpliedBy(id);
        if ((foreign || (traits & ForeignRoot)) && tag.selfClosing)
            return keep(lt, tag);
        const bool deep = m_open.depth() >= m_maxDepth / 2;
        m_deepStartTags += deep ? 1 : 0;
        if (m_open.full() || (deep && m_deepStartTags > kMaxDeepStartTags) || ((traits & Formatting) && m_open.formattingFull())) {
            replace(lt, tag.end, {});
            return tag.end;
        }
        m_open.push(id);
        keep(lt, tag);
        if (foreign)
            return tag.end;
        if (traits & RawText)
            return EndOfRawText(m_html, tag.end, tag.name);
        if (traits & ScriptText)
            return EndOfScript(m_html, tag.end);
        if (traits & PlainText)
            return m_html.size();
        return tag.end;
    }

    qsizetype keep(qsizetype lt, const Tag &tag)
    {
        if (tag.attributes > kMaxAttributes)
            replace(lt, tag.end, "<" + tag.name + (tag.selfClosing ? "/>" : ">"));
        return tag.end;
    }

    void replace(qsizetype from, qsizetype to, const std::string &with)
    {
        if (!m_changed)
            m_out.reserve(m_html.size());
        m_changed = true;
        m_out.append(m_html.sliced(m_copied, from - m_copied));
        m_out.append(with.data(), qsizetype(with.size()));
        m_copied = to;
    }

    QByteArrayView m_html;
    int m_maxDepth;
    ElementNames m_names;
    OpenElements m_open;
    QByteArray m_out;
    qsizetype m_copied = 0;
    int m_deepStartTags = 0;
    bool m_changed = false;
};

} // namespace

QByteArray LimitMarkupNesting(QByteArrayView html, int maxDepth)
{
    return NestingLimiter(html, maxDepth).run();
}

} // namespace tickwell
