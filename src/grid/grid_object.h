// Bases of the grid's objects. TKtObject is anything a grid owns on behalf of
// another object (an attachment, a named object). TKtGridObject is the base
// of values, cells and areas: it owns one optional extra object, freed with it.
#pragma once

#include <memory>

namespace plu {

class TKtObject {
  public:
    virtual ~TKtObject() = default;
};

class TKtGridObject {
  public:
    TKtGridObject() = default;
    virtual ~TKtGridObject() = default;
    TKtGridObject(const TKtGridObject&) = delete;
    TKtGridObject& operator=(const TKtGridObject&) = delete;

    // The owned extra object, nullptr when none.
    virtual TKtObject* ExtraObject() const = 0;
    // Replaces (and frees) the extra object.
    virtual void SetExtraObject(std::unique_ptr<TKtObject> object) = 0;
    // Hands the extra object over to the caller.
    virtual std::unique_ptr<TKtObject> TakeExtraObject() = 0;
};

}  // namespace plu
