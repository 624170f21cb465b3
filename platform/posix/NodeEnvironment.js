// Under Node a program sees the user's language settings as a native one
// does; the environment Emscripten makes up would always say C.UTF-8.
Module["preRun"] = [].concat(Module["preRun"] || [], [() => {
  for (const name of ["LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"]) {
    ENV[name] = process.env[name];
  }
}]);
