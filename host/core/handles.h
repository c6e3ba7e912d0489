// Handles: 32-bit keys into registries of the host, never pointers.
//
// A handle carries the kind of thing it names, a generation and a slot:
// kind (5 bits) | generation | slot, 27 bits between them. Most kinds are
// made and released all the time and keep 9 generation bits (262,143
// slots); a kind whose entries last as long as their document (a font of
// each font dictionary, say) takes more slots, as many as the largest
// document needs, and fewer generations. A handle of another
// kind, one whose slot was released (stale), or 0 is detected by `get`, which
// raises a host error with a clear text instead of touching anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "plugin/host_services.h"

namespace host {

enum class HandleKind : std::uint8_t {
    Callback = 1,
    Document,
    Page,
    Stream,
    CosObject,
    View,
    Menu,
    MenuItem,
    ToolBar,
    Button,
    Font,
    PageFont,
    Element,
    ColorSpace,
    Content,
    Selection,
    Bookmark,
    Destination,
    Action,
};

const char* handleKindName(HandleKind kind);

// Raises kErrBadHandle; kept out of line so the template stays small.
[[noreturn]] void raiseBadHandle(HandleKind kind, Handle handle, const char* problem);

template <class T>
class HandleRegistry {
public:
    explicit HandleRegistry(HandleKind kind, std::uint32_t slotBits = kShortLivedSlotBits)
        : kind_(kind), slotBits_(slotBits) {}

    Handle add(T value) {
        std::uint32_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() >= slotMask()) raiseBadHandle(kind_, 0, "too many live handles");
            slot = static_cast<std::uint32_t>(slots_.size());
            slots_.emplace_back();
        }
        slots_[slot].value.emplace(std::move(value));
        ++live_;
        return compose(slot, slots_[slot].generation);
    }

    // The value a handle names; raises for a null, foreign or stale handle.
    T& get(Handle handle) {
        T* value = find(handle);
        if (value == nullptr) raiseBadHandle(kind_, handle, problemWith(handle));
        return *value;
    }

    T* find(Handle handle) {
        if (handle == kNoHandle || kindOf(handle) != kind_) return nullptr;
        const std::uint32_t slot = handle & slotMask();
        if (slot >= slots_.size()) return nullptr;
        Slot& entry = slots_[slot];
        if (!entry.value || entry.generation != generationOf(handle)) return nullptr;
        return &*entry.value;
    }

    void remove(Handle handle) {
        get(handle);
        const std::uint32_t slot = handle & slotMask();
        slots_[slot].value.reset();
        slots_[slot].generation = (slots_[slot].generation + 1) & generationMask();
        free_.push_back(slot);
        --live_;
    }

    std::size_t size() const { return live_; }
    HandleKind kind() const { return kind_; }

    template <class Visit>
    void forEach(Visit visit) {
        for (std::uint32_t slot = 0; slot < slots_.size(); ++slot) {
            if (slots_[slot].value) visit(compose(slot, slots_[slot].generation), *slots_[slot].value);
        }
    }

    template <class Visit>
    void forEach(Visit visit) const {
        for (std::uint32_t slot = 0; slot < slots_.size(); ++slot) {
            if (slots_[slot].value) visit(compose(slot, slots_[slot].generation), *slots_[slot].value);
        }
    }

    static HandleKind kindOf(Handle handle) { return static_cast<HandleKind>(handle >> 27); }

    static constexpr std::uint32_t kShortLivedSlotBits = 18;
    static constexpr std::uint32_t kLastingSlotBits = 23;

private:
    std::uint32_t slotMask() const { return (1u << slotBits_) - 1; }
    std::uint32_t generationMask() const { return (1u << (27 - slotBits_)) - 1; }

    struct Slot {
        std::uint32_t generation = 0;
        std::optional<T> value;
    };

    Handle compose(std::uint32_t slot, std::uint32_t generation) const {
        return (static_cast<Handle>(kind_) << 27) | (generation << slotBits_) | slot;
    }
    std::uint32_t generationOf(Handle handle) const { return (handle >> slotBits_) & generationMask(); }

    const char* problemWith(Handle handle) const {
        if (handle == kNoHandle) return "null handle";
        if (kindOf(handle) != kind_) return "handle of another kind";
        return "stale handle";
    }

    HandleKind kind_;
    std::uint32_t slotBits_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
    std::size_t live_ = 0;
};

}  // namespace host
