// Emscripten 3.1.6 writes its Node loader for CommonJS; an ES module has no
// require or __dirname of its own, so they are made here, before the module.
import { createRequire } from 'module';
const require = createRequire(import.meta.url);
const __dirname = new URL('.', import.meta.url).pathname;
