#pragma once

namespace platform {

// Keeps the memory the process frees for its own reuse instead of giving it back to the system
// at once. The GL driver allocates and frees scratch buffers of up to a megabyte in every draw
// call; returned each time, they came back as hundreds of fresh zeroed pages in every frame.
// Call once, before the first window.
void keepFreedMemoryForReuse();

} // namespace platform
