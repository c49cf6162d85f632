// An event of the sheet control that stands for the same event of every
// worksheet: assigning a handler stores it in the control and gives it to
// every attached sheet; a sheet attached later gets it on attachment.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace plu {

class TVexaGridSheet;

class IKtForwardedEvent {
  public:
    virtual void AssignTo(TVexaGridSheet& sheet) const = 0;

  protected:
    ~IKtForwardedEvent() = default;
};

// Handler is the std::function type of the sheet's event; Sheets is the
// control's list of attached sheets.
template <typename Handler>
class TForwardedEvent final : public IKtForwardedEvent {
  public:
    using Slot = Handler TVexaGridSheet::*;
    using SheetList = std::vector<TVexaGridSheet*>;

    // The event registers itself with the control's list of forwarded
    // events; both lists belong to the control and outlive the event.
    TForwardedEvent(std::vector<const IKtForwardedEvent*>& registry, const SheetList& sheets,
                    Slot slot)
        : sheets_(&sheets), slot_(slot) {
        registry.push_back(this);
    }
    TForwardedEvent(const TForwardedEvent&) = delete;
    TForwardedEvent& operator=(const TForwardedEvent&) = delete;

    TForwardedEvent& operator=(Handler handler) {
        handler_ = std::move(handler);
        for (TVexaGridSheet* sheet : *sheets_)
            AssignTo(*sheet);
        return *this;
    }
    const Handler& Get() const { return handler_; }
    explicit operator bool() const { return static_cast<bool>(handler_); }

    void AssignTo(TVexaGridSheet& sheet) const override { sheet.*slot_ = handler_; }

  private:
    const SheetList* sheets_;
    Slot slot_;
    Handler handler_;
};

}  // namespace plu
