#include "RowCodec.h"

#include "DataPage.h"
#include "TableDefReader.h"
#include "Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace vorlek::jet {

namespace {

bool MaskBit(ByteSpan mask, std::size_t n) {
    return n / 8 < mask.size() && ((mask[n / 8] >> (n % 8)) & 1) != 0;
}

std::size_t FixedAreaSize(const TableDef& t) {
    std::size_t size = 0;
    for (const auto& c : t.columns)
        if (c.IsFixed() && c.type != ColumnType::Boolean)
            size = std::max(size, std::size_t{c.fixedOffset} + FixedSize(c));
    return size;
}

std::size_t VarSlots(const TableDef& t) {
    std::size_t n = t.varColumns;
    for (const auto& c : t.columns)
        if (!c.IsFixed())
            n = std::max<std::size_t>(n, std::size_t{c.varIndex} + 1);
    return n;
}

std::size_t StoredColumns(const TableDef& t) {
    std::size_t n = t.maxColumns;
    for (const auto& c : t.columns)
        n = std::max<std::size_t>(n, std::size_t{c.number} + 1);
    return n;
}

template <typename T> T Load(const Bytes& d) {
    T v{};
    std::memcpy(&v, d.data(), std::min(sizeof v, d.size()));
    return v;
}

[[noreturn]] void BadValue(const Column& c) {
    throw JetError("Data type mismatch in criteria expression. (field '" + c.name + "')");
}

} // namespace

std::vector<Cell> DecodeCells(ByteSpan row, const TableDef& t) {
    const std::size_t numCols = Get16(row, 0);
    const std::size_t maskSize = (numCols + 7) / 8;
    Need(row.size() >= 2 + maskSize);
    const ByteSpan mask = row.subspan(row.size() - maskSize);
    std::size_t varLen = 0;
    std::size_t eod = row.size() - maskSize;
    std::size_t varTableEnd = row.size() - maskSize; // the var count ends here
    if (t.varColumns > 0) {
        Need(varTableEnd >= 4);
        varLen = Get16(row, varTableEnd - 2);
        Need(varTableEnd >= 4 + 2 * varLen);
        eod = Get16(row, varTableEnd - 4 - 2 * varLen);
        Need(eod >= 2 && eod <= varTableEnd - 4 - 2 * varLen);
    }
    const auto varOffset = [&](std::size_t i) -> std::size_t {
        return Get16(row, varTableEnd - 2 - 2 * (i + 1));
    };
    const std::size_t fixedEnd = row.size() - maskSize;

    std::vector<Cell> cells(t.columns.size());
    for (std::size_t k = 0; k < t.columns.size(); ++k) {
        const Column& c = t.columns[k];
        Cell& cell = cells[k];
        const bool present = c.number < numCols && MaskBit(mask, c.number);
        if (c.type == ColumnType::Boolean) {
            cell.null = false;
            cell.flag = present;
            continue;
        }
        if (!present)
            continue;
        if (c.IsFixed()) {
            const std::size_t size = FixedSize(c);
            const std::size_t at = 2 + std::size_t{c.fixedOffset};
            Need(at <= fixedEnd && size <= fixedEnd - at);
            cell.data.assign(row.begin() + at, row.begin() + at + size);
        } else {
            if (c.varIndex >= varLen)
                continue;
            const std::size_t start = varOffset(c.varIndex);
            const std::size_t end =
                std::size_t{c.varIndex} + 1 < varLen ? varOffset(c.varIndex + 1) : eod;
            Need(start >= 2 && start <= end && end <= eod);
            cell.data.assign(row.begin() + start, row.begin() + end);
        }
        cell.null = false;
    }
    return cells;
}

Bytes EncodeCells(const std::vector<Cell>& cells, const TableDef& t) {
    Need(cells.size() == t.columns.size());
    const std::size_t numCols = StoredColumns(t);
    const std::size_t maskSize = (numCols + 7) / 8;
    Bytes mask(maskSize, 0);
    Bytes row;
    Append16(row, static_cast<std::uint16_t>(numCols));
    row.resize(2 + FixedAreaSize(t), 0);
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const Column& c = t.columns[k];
        const Cell& cell = cells[k];
        const bool set = c.type == ColumnType::Boolean ? cell.flag : !cell.null;
        if (set)
            mask[c.number / 8] |= static_cast<std::uint8_t>(1u << (c.number % 8));
        if (c.IsFixed() && c.type != ColumnType::Boolean && !cell.null) {
            Need(cell.data.size() == FixedSize(c));
            std::copy(cell.data.begin(), cell.data.end(), row.begin() + 2 + c.fixedOffset);
        }
    }
    const std::size_t slots = VarSlots(t);
    if (slots > 0) {
        std::vector<std::uint16_t> offsets(slots, 0);
        std::vector<const Cell*> bySlot(slots, nullptr);
        for (std::size_t k = 0; k < cells.size(); ++k)
            if (!t.columns[k].IsFixed())
                bySlot[t.columns[k].varIndex] = &cells[k];
        for (std::size_t s = 0; s < slots; ++s) {
            offsets[s] = static_cast<std::uint16_t>(row.size());
            if (bySlot[s] && !bySlot[s]->null)
                row.insert(row.end(), bySlot[s]->data.begin(), bySlot[s]->data.end());
        }
        if (row.size() > kMaxRowSize)
            throw JetError("Record is too large.");
        Append16(row, static_cast<std::uint16_t>(row.size())); // end of data
        for (std::size_t s = slots; s-- > 0;)
            Append16(row, offsets[s]);
        Append16(row, static_cast<std::uint16_t>(slots));
    }
    row.insert(row.end(), mask.begin(), mask.end());
    if (row.size() > kMaxRowSize)
        throw JetError("Record is too large.");
    return row;
}

Value CellValue(const Column& c, const Cell& cell, const LongValueLoader& loadLong) {
    if (c.type == ColumnType::Boolean)
        return cell.flag;
    if (cell.null)
        return std::monostate{};
    const Bytes& d = cell.data;
    switch (c.type) {
    case ColumnType::Byte:
        return std::int64_t{Load<std::uint8_t>(d)};
    case ColumnType::Integer:
        return std::int64_t{Load<std::int16_t>(d)};
    case ColumnType::Long:
        return std::int64_t{Load<std::int32_t>(d)};
    case ColumnType::Money:
        return Load<std::int64_t>(d);
    case ColumnType::Single:
        return double{Load<float>(d)};
    case ColumnType::Double:
    case ColumnType::DateTime:
        return Load<double>(d);
    case ColumnType::Text:
        return DecodeText(d);
    case ColumnType::Memo:
        return DecodeText(loadLong(d));
    case ColumnType::OLE:
        return loadLong(d);
    default:
        return d;
    }
}

Bytes LongValueBody(const Column& c, const Value& v) {
    if (const auto* s = std::get_if<std::u16string>(&v); s && c.type == ColumnType::Memo)
        return EncodeText(*s, c.compressed && s->size() <= 1024); // as Jet: long memos plain
    if (const auto* b = std::get_if<std::vector<std::uint8_t>>(&v))
        return *b;
    BadValue(c);
}

bool SameValue(const Value& a, const Value& b) {
    const double* x = std::get_if<double>(&a);
    const double* y = std::get_if<double>(&b);
    if (x && y)
        return std::memcmp(x, y, sizeof *x) == 0 || *x == *y;
    return a == b;
}

Cell ValueCell(const Column& c, const Value& v) {
    Cell cell;
    if (c.type == ColumnType::Boolean) {
        cell.null = false;
        if (const bool* b = std::get_if<bool>(&v))
            cell.flag = *b;
        else if (const auto* i = std::get_if<std::int64_t>(&v))
            cell.flag = *i != 0;
        else if (!std::holds_alternative<std::monostate>(v))
            BadValue(c);
        return cell;
    }
    if (std::holds_alternative<std::monostate>(v))
        return cell;
    cell.null = false;
    const auto integer = [&](std::int64_t lo, std::int64_t hi) -> std::int64_t {
        std::int64_t x = 0;
        if (const auto* i = std::get_if<std::int64_t>(&v))
            x = *i;
        else if (const bool* b = std::get_if<bool>(&v))
            x = *b ? -1 : 0;
        else
            BadValue(c);
        if (x < lo || x > hi)
            throw JetError("Overflow (field '" + c.name + "')");
        return x;
    };
    const auto real = [&]() -> double {
        if (const double* x = std::get_if<double>(&v))
            return *x;
        if (const auto* i = std::get_if<std::int64_t>(&v))
            return static_cast<double>(*i);
        BadValue(c);
    };
    const auto store = [&](auto x) {
        cell.data.resize(sizeof x);
        std::memcpy(cell.data.data(), &x, sizeof x);
    };
    switch (c.type) {
    case ColumnType::Byte:
        store(static_cast<std::uint8_t>(integer(0, 255)));
        break;
    case ColumnType::Integer:
        store(static_cast<std::int16_t>(integer(-32768, 32767)));
        break;
    case ColumnType::Long:
        store(static_cast<std::int32_t>(integer(std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max())));
        break;
    case ColumnType::Money:
        store(integer(std::numeric_limits<std::int64_t>::min(),
                      std::numeric_limits<std::int64_t>::max()));
        break;
    case ColumnType::Single: {
        const double x = real();
        if (std::isfinite(x) && std::fabs(x) > std::numeric_limits<float>::max())
            throw JetError("Overflow (field '" + c.name + "')");
        store(static_cast<float>(x));
        break;
    }
    case ColumnType::Double:
    case ColumnType::DateTime:
        store(real());
        break;
    case ColumnType::Text: {
        const auto* s = std::get_if<std::u16string>(&v);
        if (!s)
            BadValue(c);
        if (s->size() * 2 > c.length)
            throw JetError("The field '" + c.name +
                           "' is too small to accept the amount of data you attempted to add.  Try "
                           "inserting or pasting less data.");
        cell.data = EncodeText(*s, c.compressed);
        if (c.IsFixed())
            cell.data =
                EncodeText(*s + std::u16string((c.length - s->size() * 2) / 2, u' '), false);
        break;
    }
    case ColumnType::Memo:
    case ColumnType::OLE: {
        const Bytes body = LongValueBody(c, v);
        // Kept inside the row: a 12-byte header flagged "inline", then the bytes.
        Append32(cell.data, static_cast<std::uint32_t>(body.size()) | 0x80000000u);
        Append32(cell.data, 0);
        Append32(cell.data, 0);
        cell.data.insert(cell.data.end(), body.begin(), body.end());
        break;
    }
    default: {
        const auto* b = std::get_if<std::vector<std::uint8_t>>(&v);
        if (!b)
            BadValue(c);
        const std::size_t fixed = FixedSize(c);
        if ((c.IsFixed() && b->size() != fixed) || (!c.IsFixed() && b->size() > c.length))
            BadValue(c);
        cell.data = *b;
        break;
    }
    }
    return cell;
}

} // namespace vorlek::jet
