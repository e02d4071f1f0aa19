#include "platform/core/raised_error.h"

namespace corvane {

RaisedError::RaisedError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

std::string WrapDescription(const std::string& prefix, const RaisedError& inner) {
    return prefix + std::to_string(inner.Number()) + "]\r\nDescription: " + inner.Description();
}

RaisedError OverflowError(const std::string& source) {
    return RaisedError(kErrOverflow, source, "Overflow");
}

RaisedError ToRaisedError(const std::exception& e, const std::string& source) {
    if (auto* raised = dynamic_cast<const RaisedError*>(&e)) return *raised;
    return RaisedError(kErrInvalidProcedureCall, source, e.what());
}

}  // namespace corvane
