#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// What the fuzzing targets share. A target checks properties, not only that nothing
// crashes: a property that does not hold aborts, so that libFuzzer keeps the input
// and the corpus replay fails on it.
namespace FuzzSupport {

// Creates the QCoreApplication some Qt classes need (timers, settings), once.
void ensureApplication();

// Aborts with `property` on standard error unless it holds.
void require(bool holds, const char* property);

// The input as bytes of its own, so that reading past its end is caught.
QByteArray bytes(const std::uint8_t* data, std::size_t size);

} // namespace FuzzSupport
