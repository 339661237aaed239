// Instantiates one of the page's WebAssembly modules. They are built without
// emscripten's JavaScript (STANDALONE_WASM), so the few functions they
// import from their environment are supplied here: the page's own functions
// (the panel's), and the C library's runtime support (setjmp/longjmp for
// libpng's error handling, 64-bit results, memory growth, console output).

// A page has no files: the C library's file calls (FreeType's font file
// reader, never used with fonts from memory) fail with ENOSYS.
const kNoSystemCall = 52;

// Thrown by longjmp and caught by the invoke_ wrapper around the function
// that called setjmp, as emscripten's own runtime does.
const longJump = { longJump: true };

// Imports for module: pageFunctions are the page's own (module "env"). The
// instance is attached afterwards with bind(), before any call into it.
function importsFor(module, pageFunctions) {
  let instance = null;
  const exports = () => instance.exports;
  let tempRet0 = 0;
  const runtime = {
    env: {
      ...pageFunctions,
      setTempRet0: (value) => { tempRet0 = value; },
      getTempRet0: () => tempRet0,
      _emscripten_throw_longjmp: () => { throw longJump; },
      emscripten_notify_memory_growth: () => {},
    },
    wasi_snapshot_preview1: {
      // Console output (none is expected) is dropped, but reported as written.
      fd_write: (fd, iov, iovCount, written) => {
        const view = new DataView(exports().memory.buffer);
        let bytes = 0;
        for (let i = 0; i < iovCount; ++i) bytes += view.getUint32(iov + 8 * i + 4, true);
        view.setUint32(written, bytes, true);
        return 0;
      },
      // An empty environment.
      environ_sizes_get: (count, size) => {
        const view = new DataView(exports().memory.buffer);
        view.setUint32(count, 0, true);
        view.setUint32(size, 0, true);
        return 0;
      },
      environ_get: () => 0,
      fd_close: () => 0,
      fd_seek: () => 0,
      proc_exit: (code) => { throw new Error(`duoMangler's module stopped with code ${code}`); },
    },
  };
  const invoke = (index, ...args) => {
    const stack = exports().stackSave();
    try {
      return exports().__indirect_function_table.get(index)(...args);
    } catch (e) {
      exports().stackRestore(stack);
      if (e !== longJump) throw e;
      exports().setThrew(1, 0);
      return 0;
    }
  };
  const imports = {};
  for (const { module: from, name, kind } of WebAssembly.Module.imports(module)) {
    if (kind !== 'function') continue;
    const supplied = runtime[from]?.[name] ??
      (name.startsWith('invoke_') ? invoke
        : from === 'wasi_snapshot_preview1' ? () => kNoSystemCall
        : name.startsWith('__syscall_') ? () => -kNoSystemCall : undefined);
    if (!supplied) throw new Error(`duoMangler's module needs ${from}.${name}, which the page lacks`);
    (imports[from] ??= {})[name] = supplied;
  }
  return { imports, bind: (made) => { instance = made; } };
}

// On the page's thread, where large modules must be instantiated
// asynchronously.
export async function instantiateAsync(module, pageFunctions = {}) {
  const { imports, bind } = importsFor(module, pageFunctions);
  const instance = await WebAssembly.instantiate(module, imports);
  bind(instance);
  instance.exports._initialize();
  return instance.exports;
}

// In the AudioWorklet, which must have its instance when it is constructed.
export function instantiateNow(module, pageFunctions = {}) {
  const { imports, bind } = importsFor(module, pageFunctions);
  const instance = new WebAssembly.Instance(module, imports);
  bind(instance);
  instance.exports._initialize();
  return instance.exports;
}
