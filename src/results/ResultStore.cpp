// The result store's compact items, its shared texts, and setting the result list's row count.
#include "results/ResultStore.h"

#include <commctrl.h>

void setListRowCount(HWND list, int32_t count, DWORD flags) {
    if (!list) return;
    SendMessageA(list, LVM_SETITEMCOUNT, WPARAM(count), LPARAM(flags));
}

FoundItem StoredItem::toFoundItem() const {
    FoundItem item;
    item.creationTime = creationTime;
    item.lastAccessTime = lastAccessTime;
    item.lastWriteTime = lastWriteTime;
    item.size = size;
    item.attributes = attributes;
    item.name.assign(nameView());
    item.folder.assign(folderView());
    return item;
}

const PooledText* ResultSet::folderText(std::string_view folder) {
    if (lastFolder_ && lastFolder_->view() == folder) return lastFolder_;
    auto found = folderIndex_.find(folder);
    if (found != folderIndex_.end()) return lastFolder_ = found->second;
    const PooledText* text = folders_.add(folder);
    folderIndex_.emplace(text->view(), text);
    return lastFolder_ = text;
}

int32_t ResultSet::append(const FoundItemRef& item) {
    LockHolder hold(items_.lock());
    GrowableArray<StoredItem>& items = items_.unlocked();
    StoredItem stored{item.creationTime,
                      item.lastAccessTime,
                      item.lastWriteTime,
                      item.size,
                      item.attributes,
                      nullptr,
                      nullptr};
    stored.folder = folderText(item.folder);
    stored.name = names_.add(item.name);
    return items.append(stored);
}

void ResultSet::reserve(int32_t n) {
    LockHolder hold(items_.lock());
    items_.unlocked().reserve(n);
}

bool ResultSet::copyAt(int32_t pos, FoundItem& out) {
    LockHolder hold(items_.lock());
    const StoredItem* stored = items_.unlocked().at(pos);
    if (!stored) return false;
    out.creationTime = stored->creationTime;
    out.lastAccessTime = stored->lastAccessTime;
    out.lastWriteTime = stored->lastWriteTime;
    out.size = stored->size;
    out.attributes = stored->attributes;
    out.name.assign(stored->nameView());
    out.folder.assign(stored->folderView());
    return true;
}

void ResultSet::clear() {
    LockHolder hold(items_.lock());
    items_.unlocked().setSize(0);
    folderIndex_ = {};
    lastFolder_ = nullptr;
    names_.clear();
    folders_.clear();
}
