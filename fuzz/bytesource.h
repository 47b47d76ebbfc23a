// Reading values off a fuzz input, as libFuzzer's FuzzedDataProvider does
// (integers from the end, the remaining bytes from the front), so that the
// unit tests decode the kept inputs exactly as the fuzz targets do without
// the fuzzer's headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace fuzzcheck {

class ByteSource {
  public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    // A value from min to max, from as many bytes at the end as the range
    // needs (fewer when the input runs out, 0 then counting as min).
    template <class T> T inRange(T min, T max) {
        const std::uint64_t range =
            static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min);
        std::uint64_t result = 0;
        for (std::size_t offset = 0; offset < sizeof(T) * 8 && (range >> offset) > 0 && left_ != 0;
             offset += 8) {
            --left_;
            result = (result << 8) | data_[left_];
        }
        if (range != std::numeric_limits<std::uint64_t>::max()) result = result % (range + 1);
        return static_cast<T>(static_cast<std::uint64_t>(min) + result);
    }
    template <class T> T any() {
        return inRange<T>(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    }
    bool flag() { return (any<std::uint8_t>() & 1u) != 0; }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data_), left_);
        data_ += left_;
        left_ = 0;
        return s;
    }

  private:
    const std::uint8_t* data_;
    std::size_t left_;
};

} // namespace fuzzcheck
