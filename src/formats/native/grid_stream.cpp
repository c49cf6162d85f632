#include "formats/native/grid_stream.h"

#include "base/events.h"

namespace plu {

namespace {

void Save(TKtCustomGrid& grid, TKtStream& stream, bool includeFixed) {
    grid.SetEditorMode(false);  // commits the open edit
    TKtGridFile file;
    file.Build(grid, includeFixed);
    file.WriteTo(stream);
}

}  // namespace

void WriteGridData(TKtCustomGrid& grid, TKtStream& stream) {
    Save(grid, stream, true);
}

void ReadGridData(TKtCustomGrid& grid, TKtStream& stream, IKtGridFileHost* host) {
    TKtGridFile file;
    file.ReadFrom(stream, host);
    const bool loading = grid.IsLoading();
    grid.SetLoading(true);
    ScopeExit restore([&] { grid.SetLoading(loading); });
    file.Apply(grid);
}

void LoadGridFromFile(TKtCustomGrid& grid, const std::string& path, IKtGridFileHost* host) {
    TKtGridFile file;
    file.LoadFromFile(path, host);
    grid.ClearContents();
    file.Apply(grid);
}

void LoadGridFromStream(TKtCustomGrid& grid, TKtStream& stream, IKtGridFileHost* host) {
    grid.ClearContents();
    TKtGridFile file;
    file.ReadFrom(stream, host);
    file.Apply(grid);
}

void SaveGridToFile(TKtCustomGrid& grid, const std::string& path, bool includeFixed) {
    grid.SetEditorMode(false);
    TKtGridFile file;
    file.Build(grid, includeFixed);
    file.SaveToFile(path);
}

void SaveGridToStream(TKtCustomGrid& grid, TKtStream& stream, bool includeFixed) {
    Save(grid, stream, includeFixed);
}

}  // namespace plu
