#include "core/import/html_tables_p.h"

#include <csetjmp>
#include <cstdlib>
#include <ctime>

// gumbo has no limits of its own and does not survive a failed allocation:
// a page it finds costly to build takes the time and the memory it wants, and
// every window of the process goes down with it when the memory runs out. So
// it runs on a budget it cannot exceed. Every block it allocates comes from
// here and is counted; past the budget's bytes or its processor time the
// parse is abandoned by a jump straight back out of gumbo (plain C, nothing to
// unwind) and every block it had is freed. The scan in front keeps real pages
// far below the budget; the budget is what holds when the scan misjudges.

namespace htmltables {

namespace {

constexpr size_t MallocOverhead = 16;

struct Block {
    Block *prev;
    Block *next;
    size_t size;   // as counted
    size_t unused; // keeps what follows aligned as malloc's blocks are
};

qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

struct ParseBudget::Arena {
    Block blocks{&blocks, &blocks, 0, 0};
    size_t used = 0;
    size_t limit = 0;
    qint64 deadline = 0;
    unsigned calls = 0;
    PageLimit hit = PageLimit::None;
    std::jmp_buf *escape = nullptr;

    void freeAll()
    {
        for (Block *b = blocks.next; b != &blocks;) {
            Block *next = b->next;
            std::free(b);
            b = next;
        }
        blocks.prev = blocks.next = &blocks;
        used = 0;
    }

    static void *allocate(void *arena, size_t size)
    {
        auto *a = static_cast<Arena *>(arena);
        // The clock is read now and then: a call costs more than most allocations.
        const bool late = (++a->calls & 63) == 0 && threadCpuNs() > a->deadline;
        // Counted with the block's header and malloc's own: gumbo makes
        // millions of small blocks, where those come to as much as the data.
        const size_t cost = size + sizeof(Block) + MallocOverhead;
        const bool over = cost > a->limit - a->used;
        auto *b = over || late ? nullptr : static_cast<Block *>(std::malloc(sizeof(Block) + size));
        if (!b) {
            // A failed malloc is the machine's memory running out: memory too.
            a->hit = late && !over ? PageLimit::Time : PageLimit::Memory;
            std::longjmp(*a->escape, 1);
        }
        b->size = cost;
        b->prev = &a->blocks;
        b->next = a->blocks.next;
        a->blocks.next->prev = b;
        a->blocks.next = b;
        a->used += cost;
        return b + 1;
    }

    static void release(void *arena, void *p)
    {
        if (!p)
            return;
        auto *a = static_cast<Arena *>(arena);
        Block *b = static_cast<Block *>(p) - 1;
        b->prev->next = b->next;
        b->next->prev = b->prev;
        a->used -= b->size;
        std::free(b);
    }
};

ParseBudget::ParseBudget() : m_arena(std::make_unique<Arena>())
{
    m_options = kGumboDefaultOptions;
    m_options.max_errors = 0; // nobody reads them; collecting them costs time
    m_options.allocator = &Arena::allocate;
    m_options.deallocator = &Arena::release;
    m_options.userdata = m_arena.get();
}

ParseBudget::~ParseBudget()
{
    if (m_output)
        gumbo_destroy_output(&m_options, m_output);
    m_arena->freeAll();
}

const GumboOutput *ParseBudget::parse(const QByteArray &bytes, const PageBudget &budget)
{
    Arena &arena = *m_arena;
    arena.limit = budget.bytes;
    arena.deadline = threadCpuNs() + budget.cpuNs;
    arena.hit = PageLimit::None;
    m_hit = PageLimit::None;
    std::jmp_buf escape;
    arena.escape = &escape;
    // Nothing with a destructor lives between here and gumbo's calls back.
    if (setjmp(escape) != 0) {
        arena.freeAll();
        m_output = nullptr;
        m_hit = arena.hit;
        return nullptr;
    }
    m_output = gumbo_parse_with_options(&m_options, bytes.constData(), size_t(bytes.size()));
    arena.escape = nullptr;
    return m_output;
}

} // namespace htmltables
