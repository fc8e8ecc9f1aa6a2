#pragma once

namespace fake::detail {

// Every key up, as the calling thread sees them.
void ReleaseAllKeys();

}  // namespace fake::detail
