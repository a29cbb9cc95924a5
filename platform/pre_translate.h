#pragma once
// The pre-translate step of the message pump: before a message is dispatched, the translators see it in the order
// they were added (the main window's shortcut keys first, then each open dialog's navigation keys), and the first
// that takes it ends its way. A translator may add or remove translators while it runs (a key closes a dialog).
#include <functional>
#include <utility>
#include <vector>

namespace vitrell {

template <typename Message>
class PreTranslateChain {
  public:
    using Translator = std::function<bool(Message&)>;

    // A number by which the translator is taken out again.
    int Add(Translator translator) {
        entries_.push_back({++lastId_, std::move(translator)});
        return lastId_;
    }
    void Remove(int id) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->id == id) {
                entries_.erase(it);
                return;
            }
        }
    }
    // True when a translator took the message.
    bool Offer(Message& message) const {
        for (size_t i = 0; i < entries_.size(); ++i) {
            const Translator translator = entries_[i].translator;  // it may remove itself while it runs
            if (translator(message))
                return true;
        }
        return false;
    }

  private:
    struct Entry {
        int id;
        Translator translator;
    };
    std::vector<Entry> entries_;
    int lastId_ = 0;
};

}  // namespace vitrell
