#include "text/ParsedHtml.h"

#include <cstddef>
#include <cstdlib>

namespace tickwell {

// A doubly linked list of the blocks in use, so that a block gumbo frees leaves it at once.
struct ParsedHtml::Blocks {
    struct alignas(std::max_align_t) Header {
        Header *previous;
        Header *next;
    };
    Header list { &list, &list };

    static void *allocate(void *userdata, size_t size)
    {
        auto *header = static_cast<Header *>(std::malloc(sizeof(Header) + size));
        if (!header)
            std::abort(); // gumbo has no way to go on without the memory

        Header &anchor = static_cast<Blocks *>(userdata)->list;
        header->previous = &anchor;
        header->next = anchor.next;
        anchor.next->previous = header;
        anchor.next = header;
        return header + 1;
    }

    static void deallocate(void *, void *pointer)
    {
        if (!pointer)
            return;
        Header *header = static_cast<Header *>(pointer) - 1;
        header->previous->next = header->next;
        header->next->previous = header->previous;
        std::free(header);
    }

    ~Blocks()
    {
        for (Header *header = list.next; header != &list;) {
            Header *next = header->next;
            std::free(header);
            header = next;
        }
    }
};

ParsedHtml::ParsedHtml(std::string_view utf8)
    : m_blocks(std::make_unique<Blocks>())
{
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Blocks::allocate;
    options.deallocator = &Blocks::deallocate;
    options.userdata = m_blocks.get();
    options.max_errors = 0; // parse errors are of no use here
    m_output = gumbo_parse_with_options(&options, utf8.data(), utf8.size());
}

// The blocks go with m_blocks; gumbo_destroy_output is never called.
ParsedHtml::~ParsedHtml() = default;

} // namespace tickwell
