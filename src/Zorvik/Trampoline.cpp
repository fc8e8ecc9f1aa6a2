#include "Zorvik/Trampoline.h"

#include "REL/Module.h"
#include "Zorvik/Logger.h"
#include "Zorvik/TrampolinePortable.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace Zorvik {

Trampoline::Trampoline(std::string_view name) : name_(name) {}

Trampoline::~Trampoline()
{
    release();
}

void Trampoline::create(std::size_t size, std::optional<std::uintptr_t> anchor)
{
    const std::uintptr_t reachFrom =
        anchor ? *anchor : REL::Module::get().segment(REL::SegmentKind::TextExecutable).end();
    void* block = do_create(size, reachFrom);
    if (block == nullptr) {
        report_fatal("failed to create trampoline");
    }
    assign_memory(block, size, [](void* data, std::size_t) { VirtualFree(data, 0, MEM_RELEASE); });
}

void* Trampoline::do_create(std::size_t size, std::uintptr_t anchor)
{
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::uint64_t granularity = system.dwAllocationGranularity;
    const auto range = detail::search_range(anchor, granularity);

    std::uint64_t walk = range.lower;
    do {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(reinterpret_cast<void*>(walk), &region, sizeof(region)) == 0) {
            log::error("VirtualQuery failed with code: 0x{:08X}", GetLastError());
            return nullptr;
        }
        const auto base = reinterpret_cast<std::uint64_t>(region.BaseAddress);
        walk = base + region.RegionSize;
        if (region.State != MEM_FREE) {
            continue;
        }
        const auto start = detail::block_start_in_free_region(base, walk, size, granularity);
        if (!start) {
            continue;
        }
        // Another thread may take the region between the query and here;
        // then the walk goes on.
        if (void* block =
                VirtualAlloc(reinterpret_cast<void*>(*start), size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE)) {
            return block;
        }
        log::warn("VirtualAlloc failed with code: 0x{:08X}", GetLastError());
    } while (walk < range.upper);
    return nullptr;
}

void Trampoline::assign_memory(void* data, std::size_t size, deleter_type deleter)
{
    // Stray jumps into unused space stop at a breakpoint instead of running on.
    if (data != nullptr) {
        std::memset(data, 0xCC, size);
    }
    release();
    deleter_ = std::move(deleter);
    data_ = static_cast<std::byte*>(data);
    capacity_ = size;
    size_ = 0;
    log_stats();
}

void* Trampoline::do_allocate(std::size_t size)
{
    if (capacity_ - size_ < size) {
        report_fatal("Failed to handle allocation request");
    }
    std::byte* result = data_ + size_;
    size_ += size;
    log_stats();
    return result;
}

bool Trampoline::write_5branch(std::uintptr_t source, std::uintptr_t destination, std::uint8_t opcode)
{
    std::uintptr_t stub = 0;
    if (const auto known = fiveByteBranches_.find(destination); known != fiveByteBranches_.end()) {
        stub = known->second;
    } else {
        stub = reinterpret_cast<std::uintptr_t>(do_allocate(detail::kStubSize));
        fiveByteBranches_.emplace(destination, stub);
    }

    // Checked before anything is written: a rejected branch leaves the game's
    // code and the block as they were.
    const auto displacement = detail::branch_displacement(source, stub);
    if (!displacement) {
        report_fatal("displacement is out of range");
    }

    // The stub is complete before the branch can reach it.
    const auto jump = detail::absolute_jump_stub(destination);
    std::memcpy(reinterpret_cast<void*>(stub), jump.data(), jump.size());

    const auto branch = detail::relative_branch(opcode, *displacement);
    void* const target = reinterpret_cast<void*>(source);
    DWORD protection = 0;
    if (!VirtualProtect(target, branch.size(), PAGE_EXECUTE_READWRITE, &protection)) {
        log::error("VirtualProtect failed with code: 0x{:08X}; the branch at 0x{:X} was not written", GetLastError(),
                   source);
        return false;
    }
    std::memcpy(target, branch.data(), branch.size());
    VirtualProtect(target, branch.size(), protection, &protection);
    // The processor may still hold the old instruction; Windows asks code that
    // rewrites code to flush it.
    FlushInstructionCache(GetCurrentProcess(), target, branch.size());
    return true;
}

void Trampoline::log_stats() const
{
    // Without a block there is nothing used: 0%, not 0 / 0.
    const double percent = capacity_ == 0 ? 0.0 : static_cast<double>(size_) / static_cast<double>(capacity_) * 100.0;
    log::debug("{} => {}B / {}B ({:05.2f}%)", name_, size_, capacity_, percent);
}

void Trampoline::release()
{
    if (data_ != nullptr && deleter_) {
        deleter_(data_, capacity_);
    }
    fiveByteBranches_.clear();
    data_ = nullptr;
    capacity_ = 0;
    size_ = 0;
}

Trampoline& GetTrampoline()
{
    static Trampoline trampoline("Default Trampoline");
    return trampoline;
}

}  // namespace Zorvik
