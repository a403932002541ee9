#pragma once

namespace tovin {

// A photograph needs a fresh block of tens of megabytes for every decode and
// resample. By default the C library hands such blocks back to the system
// after each image and the next image pays a page fault for every 4 KB of
// its new block; keeping them in the process makes a batch markedly faster.
void keepLargeBlocksBetweenImages();

} // namespace tovin
