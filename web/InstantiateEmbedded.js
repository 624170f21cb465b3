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

// The in-memory file system grows a file by an eighth at a time once it holds
// 1 MiB, so that writing the MyMicOut of a million lines copies it some thirty
// times, a third of the conversion's time; doubling copies it about twice.
Module["preRun"] = [
  function () {
    var expand = MEMFS.expandFileStorage;
    MEMFS.expandFileStorage = function (node, newCapacity) {
      var capacity = node.contents ? node.contents.length : 0;
      if (capacity < newCapacity) {
        expand(node, Math.max(newCapacity, capacity * 2));
      }
    };
  },
];
