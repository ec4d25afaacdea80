/*
 * Keeps only the article of a pasted web page: the whole page saved as a
 * file, or what a browser puts on the clipboard when the reader selects the
 * whole page. Mozilla's Readability finds the article; this file tunes it for
 * Chinese news pages, adds the title and decides whether there is anything
 * to take away at all. Kept free of editor state so that Node can check it.
 */
(function (root, factory) {
  if (typeof module === 'object' && module.exports) {
    module.exports = factory();
  } else {
    root.ZorvaneArticle = factory();
  }
})(typeof self !== 'undefined' ? self : this, function () {
  'use strict';

  // Han, kana: one token a character, as a reader counts them; every other
  // run of letters and digits is one word.
  var TOKEN = /[\p{sc=Han}\p{sc=Hiragana}\p{sc=Katakana}]|(?:(?![\p{sc=Han}\p{sc=Hiragana}\p{sc=Katakana}])[\p{L}\p{N}\p{M}])+/gu;

  function tokens(text) {
    return String(text).match(TOKEN) || [];
  }

  function countTokens(text) {
    return tokens(text).length;
  }

  var INVISIBLE = { SCRIPT: 1, STYLE: 1, NOSCRIPT: 1, TEMPLATE: 1, HEAD: 1, TITLE: 1 };

  // What a reader sees of node: its text without script, style sheets and
  // the like, and how much of it is link text. One walk, no copy: the
  // pages are large.
  function measure(node) {
    var text = [];
    var linkTokens = 0;
    (function walk(el, inLink) {
      for (var child = el.firstChild; child; child = child.nextSibling) {
        if (child.nodeType === 3) {
          text.push(child.nodeValue);
          if (inLink) {
            linkTokens += countTokens(child.nodeValue);
          }
        } else if (child.nodeType === 1 && !INVISIBLE[child.nodeName.toUpperCase()]) {
          walk(child, inLink || child.nodeName.toUpperCase() === 'A');
        }
      }
    })(node, false);
    var all = text.join(' ');
    return { text: all, tokens: countTokens(all), linkTokens: linkTokens };
  }

  function visibleText(node) {
    return node ? measure(node).text : '';
  }

  // Readability's defaults are made for English: an article needs 500
  // characters, and a paragraph earns a point per comma. A Chinese character
  // says about what an English word does, so a Chinese page gets a lower
  // threshold (a short news item inside a page is otherwise taken with the
  // navigation around it), and the enumeration comma "、" counts like "，".
  // Japanese pages keep the default: their kana make the text longer.
  var LATIN_CHAR_THRESHOLD = 500;
  var CHINESE_CHAR_THRESHOLD = 200;
  var COMMAS = /\u002C|\u060C|\uFE50|\uFE10|\uFE11|\u2E41|\u2E34|\u2E32|\uFF0C|\u3001|\uFF64/g;
  var HAN = /\p{sc=Han}/gu;
  var KANA = /[\p{sc=Hiragana}\p{sc=Katakana}]/gu;

  function isChinese(text) {
    var all = countTokens(text);
    var han = (String(text).match(HAN) || []).length;
    var kana = (String(text).match(KANA) || []).length;
    return han * 2 > all && kana * 10 < han;
  }

  // Readability reads its commas from the instance's REGEXPS; the instance
  // gets its own copy with the Chinese ones added.
  function makeReader(Readability, doc, pageText, serializer) {
    var chinese = isChinese(pageText);
    var reader = new Readability(doc, {
      charThreshold: chinese ? CHINESE_CHAR_THRESHOLD : LATIN_CHAR_THRESHOLD,
      serializer: serializer
    });
    if (chinese) {
      var regexps = Object.assign({}, reader.REGEXPS);
      regexps.commas = COMMAS;
      reader.REGEXPS = regexps;
    }
    return reader;
  }

  // Site names stand after the headline, joined by "_", "|", "｜" or a dash
  // between spaces: "…_科技_腾讯网", "… - 中国青年网", "…|光明网". The
  // headline is the longest part (some sites put their name first).
  var TITLE_SEPARATORS = /\s*[_|｜]\s*|\s+[-–—－]+\s+/;

  function stripSiteSuffix(title) {
    var parts = String(title || '').replace(/\s+/g, ' ').trim().split(TITLE_SEPARATORS);
    var best = '';
    parts.forEach(function (part) {
      part = part.trim();
      if (part.length > best.length) {
        best = part;
      }
    });
    return best;
  }

  // The page's own title names the site too; a fragment copied from the
  // page has none, and then the headline is the longest first-level heading
  // (a site's logo is often one too), else Readability's guess.
  function articleTitle(doc) {
    var own = doc.querySelector('title');
    var title = own ? own.textContent : '';
    if (!title.trim()) {
      Array.prototype.forEach.call(doc.querySelectorAll('h1'), function (h1) {
        var text = h1.textContent.replace(/\s+/g, ' ').trim();
        if (text.length > title.length) {
          title = text;
        }
      });
    }
    return stripSiteSuffix(title);
  }

  function escapeText(text) {
    return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  }

  function normalisedText(text) {
    return String(text || '').replace(/\s+/g, '');
  }

  // Readability resolves relative addresses against the document's base,
  // which for a parsed string is the editor page itself. A saved page names
  // its own address (base, canonical link, og:url); without one, addresses
  // stay relative, as pasted.
  var PLACEHOLDER_ORIGIN = 'http://article.invalid';
  var PLACEHOLDER_BASE = PLACEHOLDER_ORIGIN + '/_/';

  function pageAddress(doc) {
    var candidates = [
      ['base[href]', 'href'],
      ['link[rel~="canonical"][href]', 'href'],
      ['meta[property="og:url"][content]', 'content']
    ];
    for (var i = 0; i < candidates.length; i++) {
      var el = doc.querySelector(candidates[i][0]);
      var value = el ? el.getAttribute(candidates[i][1]) : '';
      if (/^https?:\/\//i.test(value || '')) {
        return value;
      }
    }
    return '';
  }

  function setBase(doc, address) {
    Array.prototype.forEach.call(doc.querySelectorAll('base'), function (el) {
      el.remove();
    });
    var base = doc.createElement('base');
    base.setAttribute('href', address);
    (doc.head || doc.documentElement).insertBefore(base, (doc.head || doc.documentElement).firstChild);
  }

  // "a.jpg" comes back as "a.jpg", "/pic/a.jpg" as "/pic/a.jpg".
  function unplaceholder(html) {
    return html.split(PLACEHOLDER_BASE).join('').split(PLACEHOLDER_ORIGIN).join('');
  }

  // The decision that an article pasted alone (what editors usually paste)
  // and a short article are never touched. Readability is asked for the
  // article either way; what it would drop is the page around it, and the
  // article is kept alone only when that is clearly more than nothing:
  //  - at least a tenth of the page's text, and
  //  - at least 100 tokens of link text (a token is a Chinese character or a
  //    word): navigation bars, breadcrumbs, related links, lists of other
  //    news and footers are links, and a whole news page has hundreds of
  //    them around its article.
  // Readability also drops some prose of an article on its own (a caption,
  // a short closing line), but nearly never links: on the reference
  // articles it leaves at most 22 link tokens, on the whole pages of
  // Chinese news sites more than 300.
  var MIN_OUTSIDE_SHARE = 0.1;
  var MIN_OUTSIDE_LINK_TOKENS = 100;

  function holdsMoreThanArticle(page, article) {
    var outside = page.tokens - article.tokens;
    var outsideLinks = page.linkTokens - article.linkTokens;
    return outside >= MIN_OUTSIDE_SHARE * page.tokens && outsideLinks >= MIN_OUTSIDE_LINK_TOKENS;
  }

  // html: a whole page or a fragment. deps.parse(html) gives a document (a
  // DOMParser's in the browser), deps.sanitize(html) the editor's sanitizer,
  // deps.Readability the library. Returns { html, extracted, title }; html
  // is the input itself when the input is already an article.
  function keepArticle(html, deps) {
    var source = String(html);
    var unchanged = { html: source, extracted: false, title: '' };
    var doc = deps.parse(source);
    if (!doc || !doc.body) {
      return unchanged;
    }
    var page = measure(doc.body);
    if (page.tokens === 0) {
      return unchanged;
    }
    // Taken before Readability, which works on the document itself.
    var title = articleTitle(doc);
    var address = pageAddress(doc);
    setBase(doc, address || PLACEHOLDER_BASE);

    var articleNode = null;
    var article = null;
    try {
      article = makeReader(deps.Readability, doc, page.text, function (el) {
        articleNode = el;
        return el.innerHTML;
      }).parse();
    } catch (e) {
      article = null;
    }
    if (!article || !article.content || !articleNode ||
        !holdsMoreThanArticle(page, measure(articleNode))) {
      return unchanged;
    }

    var content = address ? article.content : unplaceholder(article.content);
    title = title || stripSiteSuffix(article.title);
    var lead = normalisedText(article.textContent).slice(0, normalisedText(title).length);
    var heading = title && lead !== normalisedText(title) ? '<p>' + escapeText(title) + '</p>' : '';
    return { html: deps.sanitize(heading + content), extracted: true, title: title };
  }

  return {
    tokens: tokens,
    countTokens: countTokens,
    visibleText: visibleText,
    stripSiteSuffix: stripSiteSuffix,
    holdsMoreThanArticle: holdsMoreThanArticle,
    keepArticle: keepArticle
  };
});
