// The browser host: the layer's first top-level window shown on the page's canvas, the page's
// keys, mouse and size as Windows input, the browser's clock for time.
#pragma once

namespace portable {

// Finds the page's canvas and installs the web host. On failure says why on standard error
// (which the page shows) and returns false.
bool InstallWebHost();

}  // namespace portable
