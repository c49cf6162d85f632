#include "virtual-scale/plu_table.h"

#include <cstring>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "base/ansi_code_page.h"
#include "base/safe_file.h"
#include "base/wide_text.h"

namespace plu::virtual_scale {

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return parts;
        start = tab + 1;
    }
}

// Text fields hold scale bytes; the file holds them as UTF-8 (Latin-1 code points).
std::string BytesFromFile(const std::string& utf8, std::size_t width) {
    std::string bytes;
    for (char16_t c : plu::Utf8ToWide(utf8)) bytes.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    bytes = plu::TrimBytes(bytes);
    if (bytes.size() > width) bytes.resize(width);
    return bytes;
}

std::string BytesToFile(const std::string& bytes) {
    plu::WideString wide;
    for (char b : bytes) wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(b)));
    return plu::WideToUtf8(wide);
}

uint32_t Number(const std::string& text, uint32_t max, const std::string& where) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        throw std::runtime_error(where + ": \"" + text + "\" is not a number");
    const auto value = static_cast<uint32_t>(std::stoul(text));
    if (value > max) throw std::runtime_error(where + ": " + text + " is above " + std::to_string(max));
    return value;
}

}  // namespace

PluTable SamplePluTable() {
    PluTable t;
    t.businessName = "VIRTUAL SCALE SHOP";
    t.secondLine = "OPEN DAILY 8 TO 20";
    auto set = [&](int number, const char* name, const char* ingredients, uint32_t life, int unit,
                   uint32_t price, uint32_t tare, uint32_t code) {
        ScalePlu& p = t.plus[static_cast<std::size_t>(number - 1)];
        p = ScalePlu{false, name, ingredients, life, unit, price, tare, code};
    };
    set(1, "APPLES", "", 14, 0, 249, 0, 1001);
    set(2, "BANANAS", "", 7, 0, 199, 5, 1002);
    set(3, "CHEDDAR", "MILK SALT RENNET", 60, 1, 899, 10, 2001);
    set(6, "OLIVES", "OLIVES WATER SALT", 30, 2, 1250, 150, 3001);
    return t;
}

PluTable ParsePluTable(const std::string& text, const std::string& origin) {
    PluTable table;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::string where = origin + ":" + std::to_string(lineNo);
        const std::vector<std::string> f = SplitTabs(line);
        if (f[0] == "business") {
            if (f.size() != 3) throw std::runtime_error(where + ": business needs two texts");
            table.businessName = BytesFromFile(f[1], 20);
            table.secondLine = BytesFromFile(f[2], 20);
            continue;
        }
        if (f.size() != 8) throw std::runtime_error(where + ": a PLU line has 8 fields");
        const uint32_t number = Number(f[0], kPluCount, where);
        if (number == 0) throw std::runtime_error(where + ": PLU numbers start at 1");
        ScalePlu& p = table.plus[number - 1];
        p.empty = false;
        p.name = BytesFromFile(f[1], 20);
        p.ingredients = BytesFromFile(f[2], 80);
        p.life = Number(f[3], 999, where);
        p.unitDigit = static_cast<int>(Number(f[4], 9, where));
        p.unitPrice = Number(f[5], 999999, where);
        p.tare = Number(f[6], 999999, where);
        p.itemCode = Number(f[7], 99999, where);
    }
    return table;
}

std::string FormatPluTable(const PluTable& table) {
    std::ostringstream out;
    out << "# virtual-scale PLU table: number, name, ingredients, life, unit digit (0 kg, 1 lb, 2 oz),\n"
           "# unit price (hundredths), tare (thousandths; hundredths for oz), item code\n";
    out << "business\t" << BytesToFile(table.businessName) << '\t' << BytesToFile(table.secondLine)
        << '\n';
    for (int n = 1; n <= kPluCount; ++n) {
        const ScalePlu& p = table.plus[static_cast<std::size_t>(n - 1)];
        if (p.empty) continue;
        out << n << '\t' << BytesToFile(p.name) << '\t' << BytesToFile(p.ingredients) << '\t'
            << p.life << '\t' << p.unitDigit << '\t' << p.unitPrice << '\t' << p.tare << '\t'
            << p.itemCode << '\n';
    }
    return out.str();
}

PluTable LoadPluTable(const std::string& path) {
    std::string text;
    try {
        text = plu::ReadWholeFile(path);
    } catch (const plu::Exception& e) {
        throw std::runtime_error(e.what());
    }
    return ParsePluTable(text, path);
}

void SavePluTable(const PluTable& table, const std::string& path) {
    const std::string text = FormatPluTable(table);
    try {
        plu::WriteFileAtomically(
            path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    } catch (const plu::Exception& e) {
        throw std::runtime_error(e.what());
    }
}

}  // namespace plu::virtual_scale
