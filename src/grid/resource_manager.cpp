#include "grid/resource_manager.h"

#include <string_view>
#include <unordered_map>
#include <utility>

#include "grid/format_list.h"
#include "grid/number_format.h"

namespace plu {

namespace {

// The table's own hash: 64 bits over the packed record, so that records
// differing in any byte spread over the buckets (the 16-bit record hash
// alone would crowd tens of thousands of records into few values).
struct RecordHasher {
    size_t operator()(const TKtStyleRecord& record) const noexcept {
        const auto bytes = record.Pack();
        return std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
};

}  // namespace

struct TKtResourceManager::Table {
    std::unordered_map<TKtStyleRecord, std::unique_ptr<TKtStyleNode>, RecordHasher> nodes;
    using Handle = decltype(nodes)::node_type;

    TKtStyleNode* Acquire(const TKtStyleRecord& record) {
        auto it = nodes.find(record);
        if (it == nodes.end()) {
            auto node = std::make_unique<TKtStyleNode>();
            node->Record = record;
            node->Hash = record.Hash();
            it = nodes.emplace(record, std::move(node)).first;
        }
        TKtStyleNode* node = it->second.get();
        ++node->RefCount;
        return node;
    }

    // Drops one reference; at 0 the node leaves the table and is handed back
    // so that the caller frees it after leaving the lock.
    Handle Release(TKtStyleNode* node) {
        if (node == nullptr || --node->RefCount > 0) return {};
        return nodes.extract(node->Record);
    }
};

TKtResourceManager::TKtResourceManager()
    : table_(std::make_unique<Table>()),
      fonts_(std::make_unique<TKtFontPool>()),
      formats_(std::make_unique<TKtFormatList>()),
      mask_(std::make_unique<TKtNumberFormatMask>()) {}

TKtResourceManager::~TKtResourceManager() = default;

TKtStyleNode* TKtResourceManager::Acquire(const TKtStyleRecord& record) {
    std::lock_guard guard(mutex_);
    return table_->Acquire(record);
}

void TKtResourceManager::Release(TKtStyleNode* node) {
    Table::Handle freed;
    {
        std::lock_guard guard(mutex_);
        freed = table_->Release(node);
    }
}

void TKtResourceManager::Rebind(TKtGridStyle& style, TKtStyleNode* node) {
    Table::Handle freed;
    bool changed = false;
    {
        std::unique_lock<std::recursive_mutex> own;
        if (style.Lock()) own = std::unique_lock(*style.Lock());
        std::lock_guard guard(mutex_);
        if (node != nullptr) ++node->RefCount;
        TKtStyleNode* old = style.node_;
        style.node_ = node;
        changed = old != node && old != nullptr;
        freed = table_->Release(old);
    }
    // The owner's handler runs outside the locks: it repaints and may touch
    // other styles.
    if (changed) style.Changed();
}

void TKtResourceManager::Update(TKtGridStyle& style, const TKtStyleRecord& record) {
    Table::Handle freed;
    bool changed = false;
    {
        std::unique_lock<std::recursive_mutex> own;
        if (style.Lock()) own = std::unique_lock(*style.Lock());
        std::lock_guard guard(mutex_);
        TKtStyleNode* node = table_->Acquire(record);
        TKtStyleNode* old = style.node_;
        style.node_ = node;
        changed = old != node;
        freed = table_->Release(old);
    }
    if (changed) style.Changed();
}

size_t TKtResourceManager::NodeCount() const {
    std::lock_guard guard(mutex_);
    return table_->nodes.size();
}

uint16_t TKtResourceManager::AcquireFont(const TFont& font) {
    std::lock_guard guard(mutex_);
    return fonts_->Acquire(font);
}

void TKtResourceManager::AddFontRef(uint16_t id) {
    if (id == TKtFontPool::kNoFont) return;
    std::lock_guard guard(mutex_);
    fonts_->AddRef(id);
}

void TKtResourceManager::ReleaseFont(uint16_t id) {
    if (id == TKtFontPool::kNoFont) return;
    std::lock_guard guard(mutex_);
    fonts_->Release(id);
}

size_t TKtResourceManager::FontCount() const {
    std::lock_guard guard(mutex_);
    return fonts_->Count();
}

TKtFontRef::TKtFontRef(const TFont& font) : id_(ResourceManager().AcquireFont(font)) {}

TKtFontRef::TKtFontRef(const TKtFontRef& other) : id_(other.id_) {
    ResourceManager().AddFontRef(id_);
}

TKtFontRef& TKtFontRef::operator=(const TKtFontRef& other) {
    if (id_ == other.id_) return *this;
    ResourceManager().AddFontRef(other.id_);
    ResourceManager().ReleaseFont(id_);
    id_ = other.id_;
    return *this;
}

TKtFontRef::~TKtFontRef() { ResourceManager().ReleaseFont(id_); }

int TKtResourceManager::FormatIndexOf(WideStringView text) { return formats_->IndexOf(text); }

TKtResourceManager& ResourceManager() {
    static TKtResourceManager pool;
    return pool;
}

}  // namespace plu
