// Under Node a program sees the user's language settings as a native one
// does; the environment Emscripten makes up would always say C.UTF-8. A
// program that reads no environment (the converter) has no ENV at all.
Module["preRun"] = [].concat(Module["preRun"] || [], [() => {
  if (typeof ENV === "undefined") {
    return;
  }
  for (const name of ["LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"]) {
    ENV[name] = process.env[name];
  }
}]);
