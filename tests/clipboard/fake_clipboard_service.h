// A clipboard without a window system: one object of ours with its render
// callbacks, or rendered data (flushed, or put there by "another program").
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "clipboard/clipboard_service.h"

namespace plu::testing {

class FakeClipboardService : public IKtClipboardService {
  public:
    uint64_t Offer(std::vector<TKtClipOffer> formats,
                   std::function<void(uint64_t)> released) override {
        ReleaseOurs();
        rendered.clear();
        ours = Object{++lastId, std::move(formats), std::move(released)};
        return ours->id;
    }
    std::vector<TKtClipFormat> Formats() override {
        std::vector<TKtClipFormat> list;
        if (ours)
            for (const auto& offer : ours->offers) list.push_back(offer.Format);
        else
            for (const auto& [format, data] : rendered) list.push_back(format);
        return list;
    }
    std::optional<TKtClipData> Get(TKtClipFormat format) override {
        if (ours) {
            for (const auto& offer : ours->offers) {
                if (offer.Format != format) continue;
                ++renders;
                return offer.Render();
            }
            return std::nullopt;
        }
        for (const auto& [f, data] : rendered)
            if (f == format) return data;
        return std::nullopt;
    }
    void Flush() override {
        if (!ours) return;
        std::vector<std::pair<TKtClipFormat, TKtClipData>> all;
        for (const auto& offer : ours->offers)
            if (auto data = offer.Render()) all.emplace_back(offer.Format, std::move(*data));
        ReleaseOurs();
        rendered = std::move(all);
    }
    void Empty() override {
        if (!ours) return;
        ReleaseOurs();
        rendered.clear();
    }
    bool IsCurrent(uint64_t id) const override { return ours && ours->id == id; }

    // Another program takes the clipboard with these data.
    void TakeOver(std::vector<std::pair<TKtClipFormat, TKtClipData>> data) {
        ReleaseOurs();
        rendered = std::move(data);
    }
    bool HoldsOurObject() const { return ours.has_value(); }
    bool IsEmpty() const { return !ours && rendered.empty(); }

    int renders = 0;
    std::vector<std::pair<TKtClipFormat, TKtClipData>> rendered;

  private:
    struct Object {
        uint64_t id;
        std::vector<TKtClipOffer> offers;
        std::function<void(uint64_t)> released;
    };
    void ReleaseOurs() {
        if (!ours) return;
        Object gone = std::move(*ours);
        ours.reset();
        if (gone.released) gone.released(gone.id);
    }
    std::optional<Object> ours;
    uint64_t lastId = 0;
};

inline TKtClipData UnicodeData(WideStringView text) {
    return TKtClipData{WideString(text), {}};
}
inline TKtClipData BytesData(std::vector<uint8_t> bytes) {
    return TKtClipData{{}, std::move(bytes)};
}

}  // namespace plu::testing
