import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { JSDOM } from 'jsdom';

const require = createRequire(import.meta.url);
const content = require('../src/content.js');
const createDOMPurify = require('dompurify');
const OpenCC = require('opencc-js');

const { window } = new JSDOM('<!DOCTYPE html><body></body>');
const { document } = window;
const sanitize = content.makeSanitizer(createDOMPurify(window), document);

function fragment(html) {
  const box = document.createElement('div');
  box.innerHTML = html;
  return box;
}

test('sanitizer removes everything that could run', () => {
  const attacks = [
    ['<img src="x" onerror="window.pwned=1">', '<img src="x">'],
    ['<p onclick="a()" onmouseover="b()">t</p>', '<p>t</p>'],
    ['<script>alert(1)</script><p>t</p>', '<p>t</p>'],
    ['<a href="javascript:alert(1)">j</a>', '<a>j</a>'],
    ['<a href=" jav&#x09;ascript:alert(1)">j</a>', '<a>j</a>'],
    ['<iframe src="http://e.cn/"></iframe><p>t</p>', '<p>t</p>'],
    ['<object data="x.swf"></object><embed src="x.swf">', ''],
    ['<svg><script>alert(1)</script></svg>', '<svg></svg>'],
    ['<form action="http://e.cn/"><input name="q" value="v"><button formaction="http://e.cn/">go</button></form>',
      '<input name="q" value="v"><button>go</button>'],
    ['<style>body{display:none}</style><p>t</p>', '<p>t</p>'],
    ['<meta http-equiv="refresh" content="0;url=http://e.cn/"><base href="http://e.cn/"><p>t</p>', '<p>t</p>'],
    ['<img src="x" weird="javascript:alert(1)" srcdoc="<script>" autofocus="">', '<img src="x">'],
  ];
  for (const [input, expected] of attacks) {
    assert.equal(sanitize(input), expected, input);
  }
});

test('sanitizer keeps article markup as it is', () => {
  const articles = [
    '<p><img src="http://img.example.cn/1.jpg" alt="图" width="500" height="300" align="center" style="border: 1px solid;"></p>',
    '<p><a href="http://news.example.cn/a.html" target="_blank" title="原文">链接</a></p>',
    '<table border="1" cellpadding="2"><tbody><tr><td colspan="2" valign="top">单元</td></tr></tbody></table>',
    '<div class="article" id="title"><span style="color: rgb(255, 0, 0);">红</span></div>',
    '<p><b>粗</b><i>斜</i><u>下</u><strike>删</strike><font color="red" face="宋体">字</font><sup>1</sup></p>',
    '<p><img atremote="" _src="a.jpg" data-original="b.jpg" src="a.jpg"></p>',
    '<p><img src="data:image/png;base64,iVBORw0KGgo="></p>',
    '纯文本<br>第二行&nbsp;',
    '<h1>标题</h1><p>?</p><blockquote>引</blockquote><ul><li>一</li></ul><hr>',
    '<p><a name="section2">锚</a></p>',
  ];
  for (const html of articles) {
    assert.equal(sanitize(html), html);
  }
});

test('sanitizer drops a name that would shadow the page\'s own document', () => {
  assert.equal(sanitize('<img name="createElement" src="a.jpg">'), '<img src="a.jpg">');
  assert.equal(sanitize('<img name="getElementById" id="x" src="a.jpg">'), '<img id="x" src="a.jpg">');
});

test('disarm strips what bypassed the sanitizer and reports it', () => {
  const box = fragment('<p>ok</p>');
  const bad = document.createElement('p');
  bad.setAttribute('onclick', 'a()');
  bad.innerHTML = '<img src="q"><a href=" java\tscript:z()">a</a><a href="http://e.cn/">b</a>';
  bad.querySelector('img').setAttribute('onerror', 'b()');
  bad.appendChild(document.createElement('script'));
  box.appendChild(bad);

  assert.equal(content.disarm(bad), true);
  assert.equal(box.innerHTML, '<p>ok</p><p><img src="q"><a>a</a><a href="http://e.cn/">b</a></p>');
  assert.equal(content.disarm(bad), false, 'a clean tree is left alone');

  const single = fragment('<span title="t">x</span>').firstChild;
  single.setAttribute('onmouseover', 'c()');
  assert.equal(content.disarmAttribute(single, 'onmouseover'), true);
  assert.equal(content.disarmAttribute(single, 'title'), false);
  assert.equal(single.outerHTML, '<span title="t">x</span>');
});

test('an editor holding only one empty block reads as empty', () => {
  const cases = [
    ['', ''],
    ['<p><br></p>', ''],
    ['<p></p>', ''],
    ['<div><br></div>', ''],
    ['<p style="text-align: left;"><br></p>', ''],
    ['<p>&nbsp;</p>', '<p>&nbsp;</p>'],
    ['<p><br></p><p><br></p>', '<p><br></p><p><br></p>'],
    ['<p><img src="a.jpg"></p>', '<p><img src="a.jpg"></p>'],
    ['<h1></h1>', '<h1></h1>'],
  ];
  for (const [value, expected] of cases) {
    assert.equal(content.normaliseValue(value), expected, value);
  }
});

test('script conversion changes text only and goes both ways', () => {
  const toTraditional = content.lazyConverter(OpenCC, content.SCRIPTS.toTraditional);
  const toSimplified = content.lazyConverter(OpenCC, content.SCRIPTS.toSimplified);
  const simplified = '<p title="简体">简体中文</p><p><img alt="头发" src="a.png">头发<b>发展</b> ok</p>';
  const traditional = '<p title="简体">簡體中文</p><p><img alt="头发" src="a.png">頭髮<b>發展</b> ok</p>';
  const box = fragment(simplified);

  assert.equal(content.convertTextNodes(box, toTraditional), true);
  assert.equal(box.innerHTML, traditional);
  assert.equal(content.convertTextNodes(box, toTraditional), false, 'already traditional');
  assert.equal(content.convertTextNodes(box, toSimplified), true);
  assert.equal(box.innerHTML, simplified);
  assert.equal(content.convertTextNodes(fragment(''), toSimplified), false);
});

test('a converter is built on first use and then reused', () => {
  let built = 0;
  const fakeOpenCC = {
    Converter(options) {
      built += 1;
      return (text) => `${options.to}:${text}`;
    },
  };
  const convert = content.lazyConverter(fakeOpenCC, { from: 'cn', to: 't' });
  assert.equal(built, 0);
  assert.equal(convert('一'), 't:一');
  assert.equal(convert('二'), 't:二');
  assert.equal(built, 1);
});
