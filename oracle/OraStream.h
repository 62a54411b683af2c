#pragma once
// Streams (the parts the library reads)

#include <cstdint>
#include <string>

namespace tms::ora {

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; fewer only at the end of the data.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;
    virtual void SetPosition(int64_t position) = 0;
};

// A stream over a byte string held in memory.
class TStringStream : public TStream {
public:
    explicit TStringStream(std::string data) : data_(std::move(data)) {}
    int32_t Read(void* buffer, int32_t count) override;
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    int64_t Position() const override { return position_; }
    void SetPosition(int64_t position) override;
    const std::string& DataString() const { return data_; }

private:
    std::string data_;
    int64_t position_ = 0;
};

}  // namespace tms::ora
