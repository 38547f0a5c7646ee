// The host's own components: what a data module needs beside a package's components, on palette
// pages of the host's, which the palette shows after the packages' pages. A data source links a
// detail data set to its master (MasterSource).
#pragma once

namespace designer {

// Puts "Data Access" [TDataSource] on the palette, as the host's registration (package ""). Does
// nothing when the palette already has a TDataSource, so each session may call it.
void RegisterStandardComponents();

}  // namespace designer
