// The WebAssembly is carried inside this file as a data: URL. The loader would
// first try to fetch that URL, which the page's policy refuses as a
// connection (and reports), before decoding it itself; this decodes it
// straight away. It runs inside the loader, where its names are in scope.
Module["instantiateWasm"] = function (imports, receiveInstance) {
  WebAssembly.instantiate(getBinary(wasmBinaryFile), imports)
    .then(function (output) {
      receiveInstance(output.instance);
    })
    .catch(function (reason) {
      abort(reason);
    });
  return {};
};
