// Whole numbers read from the conduit's JSON files (the handheld file and its journal, written
// by earlier conduits and possibly damaged since). nlohmann converts any number to the type
// asked for: a fraction would be cut, a value out of range would wrap, and a float too large
// for the type is undefined behaviour. These accept only a whole number the type can hold
// and otherwise throw, naming the field, so the reader reports the file as damaged.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <utility>

namespace conduit {

template <typename T>
T wholeNumber(const nlohmann::json& value, const std::string& key) {
    if (value.is_number_unsigned()) {
        const std::uint64_t n = value.get<std::uint64_t>();
        if (std::in_range<T>(n)) return static_cast<T>(n);
    } else if (value.is_number_integer()) {
        const std::int64_t n = value.get<std::int64_t>();
        if (std::in_range<T>(n)) return static_cast<T>(n);
    }
    throw std::runtime_error("\"" + key + "\" is not a whole number in range");
}

/// The number under `key` of `object`, or `fallback` when the key is not there.
template <typename T>
T wholeNumber(const nlohmann::json& object, const std::string& key, T fallback) {
    if (!object.is_object()) throw std::runtime_error("\"" + key + "\" is asked of something that is not an object");
    auto it = object.find(key);
    return it == object.end() ? fallback : wholeNumber<T>(*it, key);
}

}  // namespace conduit
