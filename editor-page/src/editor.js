/*
 * The article editor. The host program talks to it only through the
 * elements of #host-bridge: it writes HTML into "temp" and clicks "set", or
 * clicks "get" and reads "temp"; "buttonj2f"/"buttonf2j" convert the article
 * between simplified and traditional characters; "article" replaces a whole
 * pasted page in "temp" by its article (see article.js). Every click is handled
 * synchronously, because the host reads the mailbox right after clicking.
 */
(function () {
  'use strict';

  var content = window.ZorvaneContent;
  var sanitize = content.makeSanitizer(window.DOMPurify, document);
  var toTraditional = content.lazyConverter(window.OpenCC, content.SCRIPTS.toTraditional);
  var toSimplified = content.lazyConverter(window.OpenCC, content.SCRIPTS.toSimplified);
  var parser = new DOMParser();

  // A parsed document is inert: its scripts never run, its images never load.
  function keepArticle(html) {
    return window.ZorvaneArticle.keepArticle(html, {
      Readability: window.Readability,
      parse: function (text) { return parser.parseFromString(text, 'text/html'); },
      sanitize: sanitize
    }).html;
  }

  function sanitizeInsert(html) {
    if (typeof html === 'string') {
      return sanitize(html);
    }
    if (html && html.nodeType) {
      var box = document.createElement('div');
      box.appendChild(html);
      return sanitize(box.innerHTML);
    }
    return undefined;
  }

  var editor = Jodit.make('#editor', {
    language: 'zh_cn',
    width: '100%',
    height: '100%',
    minHeight: 0,
    allowResizeX: false,
    allowResizeY: false,
    toolbarAdaptive: false,
    toolbarSticky: false,
    hidePoweredByJodit: true,
    showCharsCounter: true,
    showWordsCounter: false,
    showXPathInStatusbar: true,
    // Everything must work from a local file with no network: the plain
    // textarea source view, and no beautifier fetched from a CDN.
    sourceEditor: 'area',
    beautifyHTML: false,
    // Pasted articles are kept as pasted: no dialog, no rewriting.
    askBeforePasteHTML: false,
    askBeforePasteFromWord: false,
    defaultActionOnPaste: 'insert_as_html',
    defaultActionOnPasteFromWord: 'insert_as_html',
    // The clean-up walker rewrites markup (b -> strong, drops empty elements,
    // &nbsp;); top-level text must not be wrapped into paragraphs either.
    // Nothing runs in the editing area anyway: see the sanitizer below.
    disablePlugins: ['clean-html', 'wrap-nodes', 'ai-assistant', 'speech-recognize',
      'powered-by-jodit', 'about', 'print', 'fullsize', 'media', 'video', 'file',
      'iframe', 'paste-storage', 'mobile'],
    dtd: { removeExtraBr: false },
    link: { followOnDblClick: false, processVideoLink: false },
    uploader: { insertImageAsBase64URI: true },
    buttons: [
      'source', '|',
      'bold', 'italic', 'underline', 'strikethrough', 'eraser', '|',
      'superscript', 'subscript', '|',
      'ul', 'ol', 'indent', 'outdent', 'align', '|',
      'font', 'fontsize', 'paragraph', 'lineHeight', 'brush', '|',
      'image', 'link', 'table', 'hr', 'symbols', '|',
      'undo', 'redo', '|',
      'find', 'selectall', 'copyformat', 'preview'
    ],
    events: {
      // Every value written into the editing area (host "set", source view,
      // undo snapshots) and everything pasted or dropped is sanitized first:
      // an article copied from the web may carry script.
      beforeSetValueToEditor: function (value) {
        return typeof value === 'string' ? sanitize(value) : undefined;
      },
      beforePasteInsert: sanitizeInsert
    }
  });

  function inSourceView() {
    return editor.getMode() !== Jodit.MODE_WYSIWYG;
  }

  // The source view hands its text to the editing area only after a pause in
  // typing; the host must see what is on screen now.
  function flushSourceView() {
    if (!inSourceView()) {
      return;
    }
    var mirror = editor.workplace.querySelector('.jodit-source__mirror');
    if (mirror && mirror.value !== editor.value) {
      editor.value = mirror.value;
    }
  }

  function setHtml(html) {
    editor.value = html;
  }

  function getHtml() {
    flushSourceView();
    return content.normaliseValue(editor.getEditorValue());
  }

  function convertScript(convert) {
    flushSourceView();
    if (content.convertTextNodes(editor.editor, convert)) {
      editor.synchronizeValues();
    }
  }

  function guardEditingArea() {
    new MutationObserver(function (records) {
      records.forEach(function (record) {
        if (record.type === 'attributes') {
          content.disarmAttribute(record.target, record.attributeName);
          return;
        }
        Array.prototype.forEach.call(record.addedNodes, function (node) {
          if (node.nodeType === Node.ELEMENT_NODE) {
            content.disarm(node);
          }
        });
      });
    }).observe(editor.editor, { childList: true, subtree: true, attributes: true });
  }

  // A dropped file or link must never replace the page: outside the editing
  // area nothing may be dropped, and inside it only images are taken (the
  // editor inlines them as data); other files are refused rather than sent
  // to an upload address that does not exist.
  function keepPageInPlace() {
    function outsideEditingArea(event) {
      return !editor.editor.contains(event.target);
    }
    function files(event) {
      return event.dataTransfer ? Array.prototype.slice.call(event.dataTransfer.files) : [];
    }
    function carriesFiles(event) {
      var types = event.dataTransfer ? event.dataTransfer.types : [];
      return Array.prototype.indexOf.call(types, 'Files') !== -1;
    }
    window.addEventListener('drop', function (event) {
      var dropped = files(event);
      if (dropped.some(function (file) { return !/^image\//.test(file.type); })) {
        event.preventDefault();
        event.stopPropagation();
      }
    }, true);
    ['dragover', 'drop'].forEach(function (type) {
      window.addEventListener(type, function (event) {
        if (outsideEditingArea(event) || carriesFiles(event)) {
          event.preventDefault();
        }
      });
    });
    ['click', 'auxclick'].forEach(function (type) {
      window.addEventListener(type, function (event) {
        var link = event.target.closest ? event.target.closest('a[href]') : null;
        if (link) {
          event.preventDefault();
        }
      }, true);
    });
  }

  function wireBridge() {
    var temp = document.getElementById('temp');
    function on(id, action) {
      document.getElementById(id).addEventListener('click', action);
    }
    on('set', function () { setHtml(temp.value); });
    on('get', function () { temp.value = getHtml(); });
    on('buttonj2f', function () { convertScript(toTraditional); });
    on('buttonf2j', function () { convertScript(toSimplified); });
    on('article', function () { temp.value = keepArticle(temp.value); });
  }

  editor.waitForReady().then(function () {
    guardEditingArea();
    keepPageInPlace();
    wireBridge();
    window.zorvaneEditorReady = true;
  });
})();
