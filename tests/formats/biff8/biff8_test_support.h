// Helpers of the BIFF8 tests: raw record streams, temporary folders, running
// the interop programs, and a workbook filled with the default records the
// export writes (fonts, XF records, styles, formats).
#pragma once

#include "support/processes.h"
#include "support/temp_dir.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "formats/biff8/workbook.h"

namespace plu::test {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v);
void Put32(Bytes& b, uint32_t v);
void PutDouble(Bytes& b, double v);
Bytes Concat(std::initializer_list<Bytes> parts);
// A BIFF8 string with a count of countBytes, 8-bit (option 0) or 16-bit.
Bytes Str8(const std::string& latin1, int countBytes);
Bytes Str16(WideStringView text, int countBytes);

// A workbook stream built record by record.
class StreamBuilder {
public:
    StreamBuilder& Record(uint16_t id, const Bytes& body);
    // A header whose length field says `claimed`, followed by `body`.
    StreamBuilder& Lying(uint16_t id, uint16_t claimed, const Bytes& body);
    StreamBuilder& Raw(const Bytes& bytes);
    StreamBuilder& Bof(uint16_t type);
    StreamBuilder& Eof();
    // BOF(globals) with one BOUNDSHEET per name, EOF.
    StreamBuilder& Globals(std::initializer_list<std::u16string> sheetNames = {});
    StreamBuilder& Cell(uint16_t id, uint16_t row, uint16_t col, uint16_t xf, const Bytes& rest);
    const Bytes& Data() const { return data_; }

private:
    Bytes data_;
};

// Cell bodies.
Bytes NumberBody(uint16_t row, uint16_t col, uint16_t xf, double v);
Bytes LabelBody8(uint16_t row, uint16_t col, uint16_t xf, const std::string& bytes);

// Runs a shell command; returns its standard output, and its exit status in status.
using plu::testing::Run;
using plu::testing::TempDir;
using plu::testing::HaveSsconvert;
std::string InteropScript(const std::string& name);
bool HavePython();

// The default records the workbook export puts into every workbook: six
// FONT records ("宋体", 240 twips; the last 180), 21 XF records, six STYLE
// records and twelve FORMAT records. The character width is 8.
void AddExportDefaults(TWorkbook& book);

}  // namespace plu::test
