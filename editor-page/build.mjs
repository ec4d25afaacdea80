// Assembles the editor page into one folder that works as a local file with
// no network: node editor-page/build.mjs OUTDIR
import { copyFileSync, existsSync, mkdirSync, readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const modules = join(here, 'node_modules');

// Output name -> where it comes from. index.html refers to exactly these
// names, relative to itself.
const FILES = {
  'index.html': join(here, 'src', 'index.html'),
  'editor.css': join(here, 'src', 'editor.css'),
  'editor.js': join(here, 'src', 'editor.js'),
  'content.js': join(here, 'src', 'content.js'),
  'article.js': join(here, 'src', 'article.js'),
  'jodit.min.js': join(modules, 'jodit', 'es2021', 'jodit.min.js'),
  'jodit.min.css': join(modules, 'jodit', 'es2021', 'jodit.min.css'),
  'purify.min.js': join(modules, 'dompurify', 'dist', 'purify.min.js'),
  'opencc.js': join(modules, 'opencc-js', 'dist', 'umd', 'full.js'),
  'readability.js': join(modules, '@mozilla', 'readability', 'Readability.js'),
};

function fail(message) {
  process.stderr.write(`build.mjs: ${message}\n`);
  process.exit(1);
}

const outArg = process.argv[2];
if (!outArg) {
  fail('usage: node build.mjs OUTDIR');
}

if (!existsSync(modules)) {
  fail(`${modules} is missing; run "npm ci" in ${here} first`);
}
const missing = Object.values(FILES).filter((source) => !existsSync(source));
if (missing.length > 0) {
  fail(`missing ${missing.join(', ')}; run "npm ci" in ${here} to restore the packages`);
}

const html = readFileSync(FILES['index.html'], 'utf8');
for (const [, ref] of html.matchAll(/\b(?:src|href)="([^"]+)"/g)) {
  if (!(ref in FILES)) {
    fail(`index.html refers to ${ref}, which the build does not provide`);
  }
}

// The libraries travel with the page, so do their licences.
const LICENSES = {
  'jodit.txt': join(modules, 'jodit', 'LICENSE.txt'),
  'dompurify.txt': join(modules, 'dompurify', 'LICENSE'),
  'opencc-js.txt': join(modules, 'opencc-js', 'LICENSE'),
  'opencc-js-apache-2.0.txt': join(modules, 'opencc-js', 'LICENSES', 'Apache-2.0.txt'),
  'opencc-js-third-party.md': join(modules, 'opencc-js', 'THIRD_PARTY_LICENSES.md'),
  'readability.txt': join(modules, '@mozilla', 'readability', 'LICENSE.md'),
};

const outDir = resolve(process.cwd(), outArg);
mkdirSync(join(outDir, 'licenses'), { recursive: true });
for (const [name, source] of Object.entries(FILES)) {
  copyFileSync(source, join(outDir, name));
}
for (const [name, source] of Object.entries(LICENSES)) {
  if (existsSync(source)) {
    copyFileSync(source, join(outDir, 'licenses', name));
  }
}
process.stdout.write(`editor page written to ${outDir}\n`);
