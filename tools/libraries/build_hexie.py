"""Build hexie.dat (one sensitive word a line) from houbb/sensitive-word's
word list (v0.26.1, the last release that kept the list in the repository).

1. Normalise the entries as the text they stand for: the source stores
   Chinese numerals as digits ("1夜情" = 一夜情, "08宪章" = 零八宪章), so
   runs of one or two digits become numerals; an entry with a longer digit run,
   a Latin letter or any other non-Chinese character is left out (they are
   spam patterns for chat filters, not words of a news text); keep 2-12
   characters.
2. An entry that is a word of jieba's or friso's dictionary (a word of
   ordinary text: 政府, 女儿, 天安门, 女装, leaders' names ...) is kept only if
   it is on the hand-read KEEP list of plainly sensitive words below, and
   even then not if ordinary text meets it by chance across word boundaries
   at KEEP_CROSS_MAX or more per million words (出口交易 holds 口交, 西藏独特
   holds 藏独, 个性爱好 holds 性爱) or if it is part of a common innocent
   word other than at its start (漂白粉, 聊以自慰; 强奸罪 is no reason to drop
   强奸); its longer forms (色情网站 ...) stay.
3. Any other entry goes if it occurs in the correct-text corpus (People's
   Daily, Xuexi Qiangguo, spelling test sets: text that was published); if
   ordinary text would meet it by chance across word boundaries at 0.05 or
   more per million words (jieba unigram model, as for the typo list); if it
   is part of a dictionary word that is not itself kept (jieba frequency >= 20
   or friso); if the source leaves it untagged and it holds no MARKERS word
   and no STRONG_CHARS character (its untagged part is mostly spam names,
   variant spellings and plain phrases: 森林之狐, 私人牙医); if it is a 2-3 character entry that the source tags political
   or not at all and that starts with a common surname (a person's name:
   mostly officials, who are news, not taboo); or if it is made only of common
   words (2+ characters with jieba frequency >= 50, or single characters with
   frequency >= 5000) none of which is a MARKER or holds a MARKER_CHARS
   character (家政服务, 口腔修复, 感动中国, 春夏之交).
4. An entry that contains another kept entry is dropped: a substring match of
   the shorter one already finds it.
Writes hexie.dat (GBK, CR LF) and out/hexie-report.tsv."""
import os
import re

from build_error import risk_model
from common import OUT, REPORTS, correct_corpus, friso_words, jieba_dict, src, write_gbk
from segment import cut

CROSS_MAX = 0.05
KEEP_CROSS_MAX = 0.2  # laxer for the plainly sensitive dictionary words

# Dictionary words kept as plainly sensitive (read by hand from the 3,072
# dictionary words in the source list; the rest, e.g. 政府 主席 天安门 火车
# 女装 and every leader's name, are ordinary news words; 台独/台湾独立, 藏独
# and 办证 went after a look at People's Daily text: "反对西藏独立",
# "不支持台湾独立", "办证一丝不苟").
KEEP = set("""
他妈的 妈的 真他妈 操你妈 操屄 操逼 肏屄 傻屄 傻逼 煞笔 装屄 装逼 草泥马 卧槽 狗日 狗娘养的
王八蛋 婊子 贱人 贱货 贱种 骚货 混蛋 龟儿子 狗屁 狗屎 吃屎 牛逼 牛比 鸡巴 小鸡鸡 屁眼 操蛋
基佬 人妖 破鞋 龟公 杂种 支那 日本鬼子 高丽棒子 黑鬼
色情 妓女 妓院 娼妓 娼妇 窑子 二奶 包二奶 嫖娼 嫖客 嫖妓 卖淫 卖淫嫖娼 卖春 买春 三陪 三陪女
三陪小姐 坐台 应召 应召女郎 老鸨 皮条 拉皮条 皮条客 站街女 雏妓 男妓 叫鸡 做鸡 做鸭 包夜 陪聊
陪睡 援交 援助交际 援交妹 援交小姐 性服务 按摩女 招妓 色鬼 色狼 淫妇 淫贼 淫秽 淫荡 淫乱 淫欲
淫亵 淫靡 淫糜 淫书 淫妹妹 淫戏 淫棍 淫民 淫语 淫贱 淫虐 淫水 淫虫 淫魔 荡女 浪女 强奸 强暴
强奸犯 轮奸 迷奸 诱奸 奸淫 奸污 奸杀 逼奸 先奸后杀 奸夫淫妇 奸淫掳掠 鸡奸 兽奸 猥亵 乱伦 乱交
滥交 群交 换妻 性交 交媾 交欢 作爱 做爱 造爱 嘿咻 口交 肛交 乳交 口射 口活 口淫 颜射 内射 中出
吞精 群射 自慰 手淫 意淫 叫床 叫春 破处 开苞 破瓜 车震 性虐 性虐待 性爱 做爱图 性交图 春宫
春宫图 毛片 黄片 黄站 三级片 成人片 成人网 成人图 成人文学 情色 情色电影 激情电影 色情小说
色情片 色情电影 色情网站 色情男女 色情狂 黄色图片 黄色小说 黄色文学 黄色片 黄色电影 无码 无码片
偷窥网 色狼网 色友 色妹妹 色诱 艳照 艳舞 艳星 艳情小说 裸聊 裸照 全裸 露点 露乳 爆乳 波霸
大波妹 巨乳 熟母 女优 武藤兰 武腾兰 饭岛爱 龟头 阴户 阴毛 阴唇 阴蒂 阴核 阴穴 阴阜 阳具
阳物 男根 肉棒 大肉棒 肉缝 蜜洞 密穴 小穴 爱液 娇喘 酥胸 欲仙欲死 欲火焚身 爽死我了 干死你
金枪不倒 十八摸 肉蒲团 素女经 自慰器 按摩棒 一夜情 幼齿 脱衣舞娘 脱衣女郎 脱衣舞女 春药
催情 催情药 催情粉 苍蝇水 苍蝇粉 迷药 迷奸药 迷昏药 迷香 迷魂香 蒙汗药 壮阳 壮阳药
毒品 吸毒 贩毒 毒贩 冰毒 海洛因 摇头丸 可卡因 大麻 大麻烟 大烟 白粉 嗑药 杜冷丁 罂粟壳 古柯叶
古柯碱 氯胺酮 氯氨酮 氯安酮 安非他命 安非他明 甲基苯丙胺 甲基安非他命 苯丙胺 去氧麻黄碱 三唑仑
迷幻药 安眠酮 麦司卡林 羟亚胺
赌博 赌场 赌具 赌技 赌术 赌马 赌球 赌博机 博彩 百家乐 六合彩 六合采 老虎机 水果机 梭哈 牌九
香港彩 白小姐 曾道人
假币 伪币 伪钞 假钞 假钱 假证 假证件 假文凭 假学历 假发票 假牌 代考 替考 作弊器 代孕 传销
仿真枪 汽枪 麻醉枪 弹簧刀 自制炸弹 人体炸弹 黑火药 黑索今 燃烧瓶 毒鼠强
法轮功 法轮大法 法论功 轮子功 真善忍 转法轮 李洪志 明慧网 大纪元 九评 六四事件 天安门事件
零八宪章 民运人士 异议人士 魏京生 吾尔开希 热比娅 艾未未 高智晟 世维会 疆独 东突 东突厥斯坦
东突组织 东突厥斯坦伊斯兰运动 东突厥斯坦解放组织 雪山狮子旗 共匪 赤匪 毛共 毛贼 五毛党
太子党 民主墙 一贯道 温家保
""".split())

# Common words that make a phrase sensitive (出售枪支) though each is an
# ordinary news word alone; with KEEP they spare a phrase from rule 3's last test.
MARKERS = KEEP | set("""
枪支 手枪 步枪 猎枪 气枪 子弹 弹药 炸药 炸弹 雷管 军火 军刺 军用 毒药 发票 文凭 证件 学历 身份证
答案 考题 试题 窃听 监听 偷拍 裸体 性感 少妇 美女 处女 小姐 激情 成人 色色 情人 调教 内衣 丝袜
三级 高潮 下体 乳房 胸部 屁股 强奸 杀人 砍人 暴动 暴乱 镇压 屠杀 游行 示威 静坐 上访 独立 民运
共产党 中共 政府 总理 主席 书记 领导人 六四 学潮 动乱 专制 独裁 迫害 腐败 贪官 黑幕 内幕 封锁
翻墙 代开 代办 办理 出售 批发 供应 销售 提供 订购 求购 转让 直销 专卖 到货 价格 电话 联系
""".split())

# Characters that make a single-character token of a phrase count as sensitive.
MARKER_CHARS = set("操干日屌逼屄肏淫奸嫖妓娼裸毒赌枪弹炸弩穴射插爽骚乳阴屁艳欲黄屎尿鸡鸭肛茎胸臀妞药粉冰"
                   "麻迷催狗假伪证票刀匕弓杀砍死党共")

# An entry the source leaves untagged stays only if it holds a MARKERS word
# (KEEP included) or one of these characters.
STRONG_CHARS = set("操屌逼屄肏淫奸嫖妓娼裸毒赌枪弹炸弩穴骚乳阴屁肛茎臀")

NUM = "零一二三四五六七八九"

# The commonest Chinese surnames: a 2-3 character entry that the source tags
# as political or not at all and that starts with one is a person's name
# (mostly officials, who are news, not taboo); the dissidents meant are on KEEP.
SURNAMES = set("".join("""
王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢
姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤常温康施
文牛樊葛邢安齐易乔伍庞颜倪庄聂章鲁岳翟殷詹申欧耿关兰焦俞左柳甘祝包宁尚符舒阮柯纪梅童凌毕单季裴霍涂成苗谷
盛曲翁冉骆蓝路游辛靳管柴蒙鲍华喻祁蒲房滕屈饶解牟艾尤阳时穆农司卓古吉缪简车项连芦麦褚娄窦戚岑景党宫费卜冷
晏席卫米柏宗瞿桂全佟应臧闵苟邬边卞姬师和仇栾隋商刁沙荣巫寇桑郎甄丛仲虞敖巩明佘池查麻苑迟邝""".split()))


def normalise(w):
    w = w.strip()
    if re.search(r"\d{3,}", w):
        return None
    w = re.sub(r"\d", lambda m: NUM[int(m.group())], w)
    return w if re.fullmatch(r"[\u4e00-\u9fff]{2,12}", w) else None


def main():
    jd, fr = jieba_dict(), friso_words()
    corpus = correct_corpus()
    cross, _ = risk_model()
    tags = {}
    with open(src("sensitive-word", "sensitive_word_tags.txt"), encoding="utf-8") as f:
        for line in f:
            p = line.split()
            if len(p) == 2:
                tags[p[0]] = p[1]
    pool = {}
    raw = 0
    with open(src("sensitive-word", "sensitive_word_dict.txt"), encoding="utf-8") as f:
        for line in f:
            raw += 1
            n = normalise(line)
            if n:
                pool.setdefault(n, set()).add(tags.get(line.strip(), "-"))
    missing = sorted(w for w in KEEP if w not in pool)
    if missing:
        print("KEEP words not in the source (ignored):", " ".join(missing))

    kept_words = {w for w in pool if (w in jd or w in fr) and w in KEEP}
    # a KEEP word goes too if ordinary text meets it by chance too often
    # (出口交易 holds 口交, 西藏独特 holds 藏独) or if it is part of an
    # innocent common word (漂白粉 holds 白粉, 聊以自慰 holds 自慰)
    keep_drop = {}
    for w in sorted(kept_words):
        r = cross(w)
        host = next((h for h, (fq, _) in jd.items() if fq >= 20 and w in h[1:]
                     and h not in KEEP and h not in pool), None)
        if r >= KEEP_CROSS_MAX:
            keep_drop[w] = "plainly sensitive, but ordinary text meets it by chance (%.2f/M)" % r
        elif host:
            keep_drop[w] = "plainly sensitive, but part of the word " + host
    kept_words -= set(keep_drop)
    containers = [wd for wd, (fq, _) in jd.items() if fq >= 20 and len(wd) > 2] + \
                 [wd for wd in fr if len(wd) > 2]
    report = {}
    candidates = []
    for w in sorted(pool):
        if w in jd or w in fr:
            report[w] = ("kept" if w in kept_words else keep_drop.get(w)
                         or "dictionary word, not plainly sensitive")
            continue
        candidates.append(w)
    # part of a dictionary word? (index containers by their 2-grams)
    by2 = {}
    for wd in containers:
        for i in range(len(wd) - 1):
            by2.setdefault(wd[i:i + 2], []).append(wd)
    for w in candidates:
        why = None
        if w in corpus:
            why = "occurs in correct text"
        elif cross(w) >= CROSS_MAX:
            why = "ordinary text meets it by chance (%.3f/M)" % cross(w)
        else:
            hosts = [h for h in by2.get(w[:2], []) if w in h and h != w and h not in kept_words]
            toks = [w[a:b] for a, b in cut(w)]
            if hosts:
                why = "part of the word " + hosts[0]
            elif pool[w] == {"-"} and not (set(w) & STRONG_CHARS) and not any(m in w for m in MARKERS):
                why = "untagged, with no sensitive word or character in it"
            elif len(w) <= 3 and w[0] in SURNAMES and pool[w] <= {"-", "0"} and w not in KEEP:
                why = "a person's name"
            elif (len(toks) >= 2 and any(len(t) >= 2 for t in toks)
                  and all(t not in MARKERS and not (set(t) & MARKER_CHARS)
                          and jd.get(t, (0,))[0] >= (50 if len(t) >= 2 else 5000) for t in toks)):
                why = "a phrase of ordinary words: " + "/".join(toks)
        report[w] = why or "kept"
    kept = sorted(w for w, r in report.items() if r == "kept")
    keptset = set(kept)
    final = []
    for w in sorted(kept, key=len):
        sub = next((s for s in final if s in w), None)
        if sub:
            report[w] = "contains the kept word " + sub
        else:
            final.append(w)
    final.sort()
    kept_lines, dropped = write_gbk(os.path.join(OUT, "hexie.dat"), final)
    os.makedirs(REPORTS, exist_ok=True)
    with open(os.path.join(REPORTS, "hexie-report.tsv"), "w", encoding="utf-8") as f:
        f.write("word\ttags\tresult\n")
        for w in sorted(report):
            f.write("%s\t%s\t%s\n" % (w, ",".join(sorted(pool[w])), report[w]))
    from collections import Counter
    c = Counter(r.split(":")[0].split(" (")[0] if not r.startswith(("part of", "contains")) else r.split(" ")[0] + " " + r.split(" ")[1]
                for r in report.values())
    print("source lines:", raw, "normalised Chinese entries:", len(pool))
    for k, v in c.most_common():
        print("%6d  %s" % (v, k))
    print("words written:", len(kept_lines), "dropped as non-GBK:", len(dropped))


if __name__ == "__main__":
    main()
