#pragma once

#include <QByteArrayView>

#include <cstdint>

namespace kanat {

// Little-endian numbers read from a file's bytes. A read past the end gives 0, so a parser
// can read first and check `has` once, instead of guarding every field.
class ByteView {
public:
    explicit ByteView(QByteArrayView bytes) : bytes_(bytes) {}

    qsizetype size() const { return bytes_.size(); }
    bool has(qint64 offset, qint64 count) const {
        return offset >= 0 && count >= 0 && offset <= size() && count <= size() - offset;
    }
    std::uint8_t u8(qint64 at) const {
        return has(at, 1) ? static_cast<std::uint8_t>(bytes_[static_cast<qsizetype>(at)]) : 0;
    }
    std::uint16_t u16(qint64 at) const { return static_cast<std::uint16_t>(u8(at) | u8(at + 1) << 8); }
    std::uint32_t u32(qint64 at) const { return u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16; }
    std::int16_t s16(qint64 at) const { return static_cast<std::int16_t>(u16(at)); }
    std::int32_t s32(qint64 at) const { return static_cast<std::int32_t>(u32(at)); }
    QByteArrayView bytes(qint64 offset, qint64 count) const {
        return has(offset, count) ? bytes_.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(count))
                                  : QByteArrayView();
    }

private:
    QByteArrayView bytes_;
};

} // namespace kanat
