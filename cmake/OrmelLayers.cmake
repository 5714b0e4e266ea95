# Each layer's library exports a folder of its own that holds a single link, named after the
# layer, to the layer's sources. So "#include "engine/parser.h"" resolves only in targets that
# link ormel_engine, and a lower layer that reaches for a higher one fails to build.
function(ormel_export_layer_headers target layer)
  set(folder ${PROJECT_BINARY_DIR}/layer_include/${layer})
  file(MAKE_DIRECTORY ${folder})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${folder}/${layer} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${folder})
endfunction()
