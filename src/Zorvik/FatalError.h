#pragma once

#include <stdexcept>
#include <string>

namespace Zorvik::detail {

// What a fatal report raises in the native build, where it must not end the
// process of a test or a fuzzer. The Windows build never throws it.
class fatal_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace Zorvik::detail
