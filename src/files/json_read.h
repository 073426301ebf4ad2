#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "model/beam.h"
#include "model/structure.h"
#include "text/status.h"

// What the readers of both JSON beam versions share; private to cbeam_files.
namespace cbeam::json_read {

using Json = nlohmann::json;

inline std::string Join(const std::string& parent, const char* key) {
    return parent.empty() ? key : parent + "." + key;
}

// A refusal of the value at `path`.
inline Status Refuse(const std::string& path, Code code, int span = 0) {
    return Status{.code = code, .span = span, .path = path};
}

// Looks up a member of an object; `error` is set when it is missing or of
// another type than `isType` accepts.
inline const Json* Member(const Json& object, const std::string& parent, const char* key,
                          bool (Json::*isType)() const noexcept, Status& error) {
    const auto it = object.find(key);
    if (it == object.end()) {
        error = Refuse(Join(parent, key), Code::MissingField);
        return nullptr;
    }
    if (!((*it).*isType)()) {
        error = Refuse(Join(parent, key), Code::WrongType);
        return nullptr;
    }
    return &*it;
}

inline std::optional<double> Real(const Json& object, const std::string& parent, const char* key,
                                  Status& error) {
    const Json* v = Member(object, parent, key, &Json::is_number, error);
    if (v == nullptr) return std::nullopt;
    const double d = v->get<double>();
    if (!std::isfinite(d)) {
        error = Refuse(Join(parent, key), Code::NumberOutOfRange);
        return std::nullopt;
    }
    return d;
}

// Version 2, from a document whose format and version are already checked.
Status ReadGeneralBeam(const Json& doc, Beam& out);

}  // namespace cbeam::json_read
