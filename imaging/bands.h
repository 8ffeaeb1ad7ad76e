// Work shared out among the processors in bands: the calling thread and helper
// threads take the bands one after the other until none is left. The helpers are
// started at the first call and wait between calls for the rest of the program:
// starting a thread costs much more than a band's wait for one that is waiting
// (under Wine, half a millisecond to start, and as long again until it runs).
#pragma once

#include <functional>

namespace glimra {

// How many of the processors work on bands: all of them, up to four (more do not
// speed up the copies, which wait on memory).
unsigned BandWorkers();

// Calls band(i) for every i in [0, count), on the calling thread and on helpers, and
// returns when every call has returned. Where no helper can be started, the calling
// thread makes every call itself. One call at a time runs; `band` must not throw.
void RunBands(unsigned count, const std::function<void(unsigned)>& band);

}  // namespace glimra
