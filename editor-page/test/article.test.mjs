import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { JSDOM } from 'jsdom';

const require = createRequire(import.meta.url);
const article = require('../src/article.js');
const content = require('../src/content.js');
const { Readability } = require('@mozilla/readability');
const createDOMPurify = require('dompurify');

const { window } = new JSDOM('<!DOCTYPE html><body></body>');
const deps = {
  Readability,
  parse: (html) => new JSDOM(html).window.document,
  sanitize: content.makeSanitizer(createDOMPurify(window), window.document),
};

const SENTENCE = '记者从教育部获悉，今年全国高校毕业生规模预计达到新高，各地各校积极拓展就业渠道、优化就业服务，帮助毕业生尽早落实去向。';
const PARAGRAPHS = Array.from({ length: 8 }, (_, i) => `第${i + 1}段。${SENTENCE}${SENTENCE}`);
const HEADLINE = '教育部：多措并举促进高校毕业生就业';

function links(prefix, count, text) {
  return Array.from({ length: count }, (_, i) => `<li><a href="http://edu.example.cn/${prefix}/${i}.html">${text}${i}</a></li>`).join('');
}

function articleMarkup(paragraphs) {
  return `<div class="article"><p><img src="/pic/a.jpg" alt="图"></p>${paragraphs.map((p) => `<p>${p}</p>`).join('')}</div>`;
}

// A news page as a browser's select-all copies it: the body, no head.
function wholePageBody(paragraphs = PARAGRAPHS) {
  return `<div class="header"><a href="/"><img src="/logo.png" alt="中国教育网"></a>`
    + `<ul class="nav">${links('nav', 12, '首页新闻')}</ul>`
    + `<form><input name="q"><button>搜索</button></form></div>`
    + `<div class="breadcrumbs"><a href="/">首页</a> &gt;&gt; <a href="/zx/">教育资讯</a> &gt;&gt; 正文</div>`
    + `<h1>${HEADLINE}</h1>${articleMarkup(paragraphs)}`
    + `<div class="related"><h3>相关新闻</h3><ul>${links('rel', 10, '高校毕业生就业创业政策解读')}</ul></div>`
    + `<div class="footer"><ul>${links('about', 6, '关于我们')}</ul><p>版权所有 中国教育网</p></div>`;
}

function textOf(html) {
  return new JSDOM(html).window.document.body.textContent;
}

test('a whole news page keeps its title and article, nothing around them', () => {
  const saved = `<html><head><title>${HEADLINE}_教育资讯_中国教育网</title>`
    + `<link rel="canonical" href="http://edu.example.cn/zx/1.html"></head><body>${wholePageBody()}</body></html>`;
  for (const [name, input] of [['saved page', saved], ['clipboard fragment', wholePageBody()]]) {
    const result = article.keepArticle(input, deps);
    assert.equal(result.extracted, true, name);
    assert.equal(result.title, HEADLINE, name);
    assert.ok(result.html.startsWith(`<p>${HEADLINE}</p>`), `${name}: title first`);
    const text = textOf(result.html);
    for (const paragraph of PARAGRAPHS) {
      assert.ok(text.includes(paragraph), `${name}: ${paragraph.slice(0, 4)} kept`);
    }
    for (const gone of ['首页新闻', '教育资讯', '相关新闻', '高校毕业生就业创业政策解读', '版权所有', '关于我们']) {
      assert.ok(!text.includes(gone), `${name}: ${gone} gone`);
    }
  }
});

test('an article pasted alone, or a short one, passes through unchanged', () => {
  const cases = {
    'the article alone': `<h1>${HEADLINE}</h1>${articleMarkup(PARAGRAPHS)}`,
    'the article with a few links of its own': articleMarkup(PARAGRAPHS)
      + `<p>相关阅读：<a href="http://edu.example.cn/1.html">就业政策</a></p>`,
    'a short article with its headline and source': `<h1>${HEADLINE}</h1><p>来源：<a href="http://edu.example.cn/">中国教育网</a></p><p>${SENTENCE}</p>`,
    'two paragraphs': `<p>${SENTENCE}</p><p>${SENTENCE}</p>`,
    'plain text': SENTENCE,
    'nothing': '',
    'only an image': '<p><img src="http://img.example.cn/a.jpg"></p>',
  };
  for (const [name, html] of Object.entries(cases)) {
    const result = article.keepArticle(html, deps);
    assert.equal(result.extracted, false, name);
    assert.equal(result.html, html, name);
  }
});

test('addresses: a fragment keeps them relative, a saved page resolves them against its own address', () => {
  const fragment = article.keepArticle(wholePageBody(), deps);
  assert.match(fragment.html, /<img src="\/pic\/a\.jpg"/);
  const relative = article.keepArticle(wholePageBody().replace('/pic/a.jpg', 'a.jpg'), deps);
  assert.match(relative.html, /<img src="a\.jpg"/);
  assert.doesNotMatch(fragment.html, /invalid|about:blank/);

  const saved = article.keepArticle(`<html><head><meta property="og:url" content="http://edu.example.cn/zx/1.html">`
    + `</head><body>${wholePageBody()}</body></html>`, deps);
  assert.match(saved.html, /<img src="http:\/\/edu\.example\.cn\/pic\/a\.jpg"/);
});

test('what is kept of a page runs nothing', () => {
  const hostile = wholePageBody().replace('<div class="article">',
    '<div class="article"><script>window.pwned=1</script><p onclick="a()"><img src="x" onerror="b()">'
    + `<a href="javascript:c()">链接</a>${SENTENCE}</p>`);
  const result = article.keepArticle(hostile, deps);
  assert.equal(result.extracted, true);
  assert.doesNotMatch(result.html, /script|onclick|onerror|javascript:/i);
});

test('the site name leaves the title', () => {
  const titles = [
    ['DeepMind新电脑已可利用记忆自学 人工智能迈上新台阶_科技_腾讯网', 'DeepMind新电脑已可利用记忆自学 人工智能迈上新台阶'],
    ['宇航员在太空中喝酒会怎么样？后果很严重 _探索者 _光明网', '宇航员在太空中喝酒会怎么样？后果很严重'],
    ['高校毕业生就业形势总体稳定 - 中国青年网', '高校毕业生就业形势总体稳定'],
    ['光明网|宇航员在太空中喝酒会怎么样', '宇航员在太空中喝酒会怎么样'],
    ['2024-2025学年校历发布', '2024-2025学年校历发布'],
    ['  没有网站名的标题  ', '没有网站名的标题'],
    ['', ''],
  ];
  for (const [title, expected] of titles) {
    assert.equal(article.stripSiteSuffix(title), expected, title);
  }
});

test('tokens: a Chinese character is one, a word of other scripts is one', () => {
  assert.deepEqual(article.tokens('AI时代, 2024年 GPT-4o!'), ['AI', '时', '代', '2024', '年', 'GPT', '4o']);
  assert.deepEqual(article.tokens('ひらがなカナ'), ['ひ', 'ら', 'が', 'な', 'カ', 'ナ']);
  assert.equal(article.countTokens(' \n，。'), 0);
});
