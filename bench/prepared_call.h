// One script call with its argument cells built once, as the interpreter
// makes them, so that timing it times only _KELExtender2@40: the dispatcher,
// the handler and the platform calls the handler makes.
#pragma once

#include "tests/host/host_double.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantor::bench {

class PreparedCall {
public:
    PreparedCall(testing::HostDouble& host, const char* name, std::vector<testing::Arg> args)
        : host_(host), name_(name), index_(host.IndexOf(name)), args_(std::move(args)), cells_(args_.size() + 1) {
        for (std::size_t i = 0; i < args_.size(); ++i) {
            ValueCell& cell = cells_[i];
            if (args_[i].isText()) {
                cell.kind = kStringCell;
                cell.strValue = args_[i].text().c_str();
            } else {
                cell.kind = kIntegerCell;
                cell.intValue = args_[i].integer();
                cell.strValue = "";
            }
        }
    }
    PreparedCall(const PreparedCall&) = delete;
    PreparedCall& operator=(const PreparedCall&) = delete;

    void operator()() { host_.Dispatch(index_, cells_.data(), static_cast<std::int32_t>(args_.size()), &result_); }
    // Changes integer argument k (from 1) for the following calls.
    void SetInteger(std::size_t k, std::int32_t value) { cells_[k - 1].intValue = value; }

    // The answer through the host double's full call, for the comparison
    // with the raw calls: a text, or an integer written out.
    std::string Answer() const {
        const testing::CallResult r = host_.Call(name_, args_);
        return r.cell.kind == kStringCell ? r.text : std::to_string(r.integer());
    }

private:
    testing::HostDouble& host_;
    const char* name_;
    int index_;
    std::vector<testing::Arg> args_;
    std::vector<ValueCell> cells_;
    ValueCell result_{};
};

}  // namespace vantor::bench
