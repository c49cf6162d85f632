// Native grid streams from outside bytes: reading never fails the caller
// (damage is a message), applying fills a grid with formula support from
// whatever was read, and the grid then writes a stream that reads back
// without any damage and rebuilds the same stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/text_measurer.h"
#include "formats/native/grid_file.h"
#include "formulas/data_grid_formulas.h"

namespace {

using namespace plu;

class FuzzGrid : public TKtCustomGrid {
  public:
    FuzzGrid() {
        SetMeasurer(&measurer_);
        SetOptionsEx(OptionsEx().With(TGridOptionEx::goxSupportFormula));
    }
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                              const IKtFormula* old) override {
        return formulas_.CreateFormula(owner, text, old);
    }
    void Calculate() override { formulas_.Calculate(); }

  private:
    FixedTextMeasurer measurer_;
    TKtDataGridFormulas formulas_{*this};
};

std::vector<uint8_t> Rebuild(FuzzGrid& grid) {
    TKtGridFile file;
    file.Build(grid, true);
    return file.ToBytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TKtGridFile file;
    file.ReadFrom(std::span<const uint8_t>(data, size), nullptr);
    FuzzGrid grid;
    file.Apply(grid);
    const std::vector<uint8_t> written = Rebuild(grid);

    TKtGridFile again;
    again.ReadFrom(written, nullptr);
    if (!again.ReadError().empty()) std::abort();
    FuzzGrid copy;
    again.Apply(copy);
    if (Rebuild(copy) != written) std::abort();
    return 0;
}
