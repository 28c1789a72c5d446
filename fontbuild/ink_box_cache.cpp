#include "fontbuild/ink_box_cache.h"

namespace qzf {

std::shared_ptr<const InkBoxes> InkBoxCache::Find(const InkBoxKey& key) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->key == key) {
      entries_.splice(entries_.begin(), entries_, it);
      return entries_.front().boxes;
    }
  }
  return nullptr;
}

void InkBoxCache::Keep(InkBoxKey key, std::shared_ptr<const InkBoxes> boxes) {
  if (capacity_ == 0 || !boxes) return;
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->key == key) {
      entries_.erase(it);
      break;
    }
  }
  entries_.push_front({std::move(key), std::move(boxes)});
  if (entries_.size() > capacity_) entries_.pop_back();
}

}  // namespace qzf
