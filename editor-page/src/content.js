/*
 * Content rules of the editor page: what may enter the editing area, how the
 * editing area's value is reported, and the script conversion of its text.
 * Kept free of editor state so that it can be checked outside the browser.
 */
(function (root, factory) {
  if (typeof module === 'object' && module.exports) {
    module.exports = factory();
  } else {
    root.ZorvaneContent = factory();
  }
})(typeof self !== 'undefined' ? self : this, function () {
  'use strict';

  // Attributes DOMPurify does not know are kept (CMS markers such as
  // atremote or _src are part of a pasted article), except the ones that
  // act: event handlers, form submission, inline documents, focus grabbing.
  // Their values still go through DOMPurify's address check.
  var ACTING_ATTRIBUTES = /^(on.*|action|formaction|srcdoc|ping|autofocus|is|xmlns(:.*)?|http-equiv)$/;
  var ATTRIBUTE_NAME = /^[a-z_][a-z0-9_.:-]*$/;

  function keepUnknownAttribute(name) {
    return ATTRIBUTE_NAME.test(name) && !ACTING_ATTRIBUTES.test(name);
  }

  // DOMPurify's defaults drop script, frames, plugins, event-handler
  // attributes and javascript: addresses. On top of that: drop <style>
  // elements (they would restyle the editor's own interface) and <form> (a
  // form could submit and replace the page; its fields are kept as content).
  var PURIFY_OPTIONS = {
    ADD_ATTR: keepUnknownAttribute,
    FORBID_TAGS: ['style', 'form'],
    // DOMPurify's clobbering check would also strip article ids such as
    // "title"; only `name` can shadow document properties here (<object> and
    // <embed> are gone), so that one is checked by the hook below.
    SANITIZE_DOM: false
  };

  function makeSanitizer(purify, doc) {
    var probeForm = doc.createElement('form');
    purify.addHook('uponSanitizeAttribute', function (node, data) {
      if (data.attrName === 'name' &&
          (data.attrValue in doc || data.attrValue in probeForm)) {
        data.keepAttr = false;
      }
    });
    return function sanitize(html) {
      return purify.sanitize(String(html), PURIFY_OPTIONS);
    };
  }

  var URL_ATTRIBUTES = /^(href|src|action|formaction|xlink:href)$/i;
  var ACTIVE_ELEMENTS = 'script, iframe, frame, object, embed, base, meta, link';

  function isScriptUrl(value) {
    return /^javascript:/i.test(value.replace(/[\s\u0000-\u001f]+/g, ''));
  }

  function isActiveAttribute(name, value) {
    return /^on/i.test(name) || (URL_ATTRIBUTES.test(name) && isScriptUrl(value));
  }

  function disarmAttribute(el, name) {
    var value = el.getAttribute(name);
    if (value !== null && isActiveAttribute(name, value)) {
      el.removeAttribute(name);
      return true;
    }
    return false;
  }

  // Last line of defence for markup that reaches the editing area without
  // passing the sanitizer (editor internals, browser-native editing): strips
  // what could run from element and its descendants. Returns whether
  // anything was removed.
  function disarm(element) {
    var removed = false;
    var elements = [element].concat(Array.prototype.slice.call(element.querySelectorAll('*')));
    elements.forEach(function (el) {
      if (el.matches(ACTIVE_ELEMENTS)) {
        if (el.parentNode) {
          el.parentNode.removeChild(el);
          removed = true;
        }
        return;
      }
      Array.prototype.slice.call(el.attributes).forEach(function (attr) {
        removed = disarmAttribute(el, attr.name) || removed;
      });
    });
    return removed;
  }

  // A browser leaves one empty block behind when everything is deleted;
  // that is an empty article, not content.
  var LONE_EMPTY_BLOCK = /^<(p|div)(\s[^>]*)?>(<br\s*\/?>)?<\/\1>$/i;

  function normaliseValue(html) {
    return LONE_EMPTY_BLOCK.test(html) ? '' : html;
  }

  // OpenCC presets: mainland simplified <-> OpenCC standard traditional,
  // both with phrase tables (头发 -> 頭髮, not 頭發).
  var SCRIPTS = {
    toTraditional: { from: 'cn', to: 't' },
    toSimplified: { from: 't', to: 'cn' }
  };

  // Building a converter parses its dictionaries (a few hundred ms for the
  // simplified -> traditional one), so it happens on first use only.
  function lazyConverter(opencc, options) {
    var convert = null;
    return function (text) {
      if (!convert) {
        convert = opencc.Converter(options);
      }
      return convert(text);
    };
  }

  var NON_ASCII = /[^\u0000-\u007f]/;
  var SHOW_TEXT = 4;

  // Converts the text nodes under root in place; markup and attributes are
  // left alone. Returns whether any text changed.
  function convertTextNodes(root, convert) {
    var walker = root.ownerDocument.createTreeWalker(root, SHOW_TEXT);
    var changed = false;
    for (var node = walker.nextNode(); node; node = walker.nextNode()) {
      var text = node.nodeValue;
      if (!NON_ASCII.test(text)) {
        continue;
      }
      var converted = convert(text);
      if (converted !== text) {
        node.nodeValue = converted;
        changed = true;
      }
    }
    return changed;
  }

  return {
    PURIFY_OPTIONS: PURIFY_OPTIONS,
    SCRIPTS: SCRIPTS,
    makeSanitizer: makeSanitizer,
    disarm: disarm,
    disarmAttribute: disarmAttribute,
    normaliseValue: normaliseValue,
    lazyConverter: lazyConverter,
    convertTextNodes: convertTextNodes
  };
});
