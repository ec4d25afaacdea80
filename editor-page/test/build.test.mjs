import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { cpSync, existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const project = dirname(dirname(fileURLToPath(import.meta.url)));

function scratch(t) {
  const dir = mkdtempSync(join(tmpdir(), 'editor-page-'));
  t.after(() => rmSync(dir, { recursive: true, force: true }));
  return dir;
}

function build(script, args, cwd) {
  return spawnSync(process.execPath, [script, ...args], { cwd, encoding: 'utf8' });
}

test('builds a page whose every reference is a local file beside it', (t) => {
  const cwd = scratch(t);
  const run = build(join(project, 'build.mjs'), ['app/lib'], cwd);
  assert.equal(run.status, 0, run.stderr);

  const out = join(cwd, 'app', 'lib');
  const html = readFileSync(join(out, 'index.html'), 'utf8');
  const refs = [...html.matchAll(/\b(?:src|href)="([^"]+)"/g)].map((m) => m[1]);
  assert.ok(refs.length >= 6, `too few references: ${refs}`);
  for (const ref of refs) {
    assert.doesNotMatch(ref, /^([a-z]+:|\/)/i, `${ref} is not relative`);
    assert.ok(existsSync(join(out, ref)), `${ref} is missing from the output`);
  }
  for (const id of ['temp', 'set', 'get', 'buttonf2j', 'buttonj2f', 'article']) {
    assert.match(html, new RegExp(`id="${id}"`), `${id} is not in the static page`);
  }
  assert.ok(existsSync(join(out, 'licenses', 'jodit.txt')));
  assert.ok(existsSync(join(out, 'licenses', 'readability.txt')));
});

test('refuses to build without the installed packages', (t) => {
  const copy = scratch(t);
  cpSync(join(project, 'build.mjs'), join(copy, 'build.mjs'));
  cpSync(join(project, 'src'), join(copy, 'src'), { recursive: true });
  const out = join(copy, 'out');

  const run = build(join(copy, 'build.mjs'), [out], copy);
  assert.notEqual(run.status, 0);
  assert.match(run.stderr, /node_modules is missing; run "npm ci"/);
  assert.equal(existsSync(out), false, 'nothing is written');
});

test('refuses to build without an output folder', () => {
  const run = build(join(project, 'build.mjs'), [], project);
  assert.notEqual(run.status, 0);
  assert.match(run.stderr, /usage: node build\.mjs OUTDIR/);
});
