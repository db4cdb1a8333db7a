#!/usr/bin/env python3
"""Writes the generated pages of the demo catalogue site into demo/site.

The catalogue's data (titles, play sources, episodes) lives here; the hand-written parts
(style sheets, scripts, the buffering page, the settings texts) sit in demo/site as they are.
Run it after changing the data:  python3 demo/tools/build_site.py

Glyphs outside the GBK code page (arrows, play and close signs) are drawn with CSS, never
written as text: the player collects link texts into its play list in that code page, where
they would turn into "?".

Link form of an episode: a player scheme followed by an absolute, lower-case path, such as
"qqplay:///play/xiyouji-1.html". The player replaces the scheme by the site's base address
and lower-cases the whole text, so the path must name a lower-case file on the server.
"""

import html
import os
import pathlib

SITE = pathlib.Path(__file__).resolve().parent.parent / "site"
SITE_NAME = "看吧影院"

# Every scheme the player knows, each used by at least one play source below. Some sources
# write theirs in capitals or mixed case, as real catalogue pages do.
TITLES = [
    {
        "slug": "xiyouji", "name": "西游记", "glyph": "西", "year": "1986", "area": "内地",
        "genre": "神话", "cat": "tv", "score": "9.6", "hue": 28,
        "cast": "六小龄童 / 迟重瑞 / 马德华 / 闫怀礼",
        "blurb": "唐僧师徒四人西天取经，一路降妖除魔、历经九九八十一难，终成正果。"
                 "经典神话剧，陪伴几代人成长的寒暑假回忆。",
        "episodes": 8,
        "sources": [("qqplay://", "腾讯源"), ("YoukuPlay://", "优酷源"),
                    ("XfPlayPlay://", "先锋源")],
    },
    {
        "slug": "honglou", "name": "红楼梦", "glyph": "红", "year": "1987", "area": "内地",
        "genre": "古装", "cat": "tv", "score": "9.7", "hue": 350,
        "cast": "欧阳奋强 / 陈晓旭 / 张莉 / 邓婕",
        "blurb": "贾府由盛而衰的百年兴亡，宝黛钗的爱情悲剧，一部写尽人情世态的东方史诗。",
        "episodes": 6,
        "sources": [("qiyiplay://", "奇艺源"), ("tudouplay://", "土豆源"),
                    ("56play://", "56源")],
    },
    {
        "slug": "shuihu", "name": "水浒传", "glyph": "水", "year": "1998", "area": "内地",
        "genre": "武侠", "cat": "tv", "score": "9.3", "hue": 200,
        "cast": "李雪健 / 周野芒 / 臧金生 / 丁海峰",
        "blurb": "北宋末年，一百单八将聚义梁山泊，替天行道。侠肝义胆，快意恩仇。",
        "episodes": 6,
        "sources": [("jjvodplay://", "吉吉源"), ("kankanplay://", "看看源"),
                    ("ku6play://", "酷6源")],
    },
    {
        "slug": "sanguo", "name": "三国演义", "glyph": "三", "year": "1994", "area": "内地",
        "genre": "历史", "cat": "tv", "score": "9.5", "hue": 120,
        "cast": "唐国强 / 鲍国安 / 孙彦军 / 陆树铭",
        "blurb": "东汉末年群雄并起，魏蜀吴三分天下。滚滚长江东逝水，浪花淘尽英雄。",
        "episodes": 7,
        "sources": [("sohuplay://", "搜狐源"), ("letvplay://", "乐视源"),
                    ("FUNSHIONPLAY://", "风行源")],
    },
    {
        "slug": "liaozhai", "name": "聊斋志异", "glyph": "聊", "year": "1988", "area": "香港",
        "genre": "奇幻", "cat": "movie", "score": "8.9", "hue": 265,
        "cast": "程思寒 / 杨洁 / 秦焰",
        "blurb": "花妖狐魅，多具人情。书生夜读，灯影摇曳之间，是人是鬼，各有悲欢。",
        "episodes": 5,
        "sources": [("pptvplay://", "PPTV源"), ("ckplayerplay://", "CK源"),
                    ("1905play://", "1905源")],
    },
    {
        "slug": "fengshen", "name": "封神演义", "glyph": "封", "year": "1990", "area": "内地",
        "genre": "神话", "cat": "anime", "score": "8.8", "hue": 45,
        "cast": "蓝天野 / 傅艺伟 / 张涵予",
        "blurb": "商纣无道，姜子牙奉命下山，辅周伐纣，封神榜上众仙各归其位。",
        "episodes": 6,
        "sources": [("hunantvplay://", "芒果源"), ("ppsplay://", "PPS源"),
                    ("xiguaplay://", "西瓜源"), ("QQPLAY://", "腾讯备用源")],
    },
    # A series to watch in one go: short episodes end within seconds, so the next one starts by
    # itself; the long one (75 s) is for stopping halfway and coming back.
    {
        "slug": "xiaocheng", "name": "小城故事", "glyph": "城", "year": "2008", "area": "台湾",
        "genre": "生活", "cat": "tv", "score": "8.6", "hue": 170,
        "cast": "林嘉欣 / 张孝全 / 杨贵媚",
        "blurb": "海边小城的一条老街，五户人家，六个小故事。每集只有几分钟，适合一口气看完。",
        "episodes": 6,
        "long_episode": 5,
        "sources": [("kankanplay://", "看看源"), ("sohuplay://", "搜狐源")],
    },
]

CATEGORIES = [("tv", "电视剧"), ("movie", "电影"), ("anime", "动漫")]

ALL_SCHEMES = [
    "xfplayplay://", "xiguaplay://", "qiyiplay://", "youkuplay://", "tudouplay://",
    "jjvodplay://", "qqplay://", "kankanplay://", "56play://", "ku6play://", "sohuplay://",
    "letvplay://", "funshionplay://", "pptvplay://", "ckplayerplay://", "hunantvplay://",
    "1905play://", "ppsplay://",
]


def esc(text):
    return html.escape(text, quote=True)


def play_link(scheme, slug, episode):
    return f"{scheme}/play/{slug}-{episode}.html"


def episode_label(episode):
    return f"第{episode:02d}集"


def page(title, body, extra_head="", body_class=""):
    cls = f' class="{body_class}"' if body_class else ""
    return f"""<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{esc(title)}</title>
<link rel="icon" href="/img/logo.svg" type="image/svg+xml">
<link rel="stylesheet" href="/css/site.css">
{extra_head}</head>
<body{cls}>
{body}
</body>
</html>
"""


def header(active):
    nav = [("home", "/", "首页")] + [(c, f"/#{c}", n) for c, n in CATEGORIES]
    items = "".join(
        f'<a class="nav-item{" is-active" if key == active else ""}" href="{href}">{name}</a>'
        for key, href, name in nav)
    return f"""<header class="topbar">
  <a class="brand" href="/"><img src="/img/logo.svg" alt="" width="34" height="34"><span>{SITE_NAME}</span><em>KAM</em></a>
  <nav class="nav">{items}</nav>
  <form class="search" action="/" onsubmit="return kam.search(this)">
    <input name="q" type="search" placeholder="搜索片名、演员" autocomplete="off">
    <button type="submit" aria-label="搜索">搜索</button>
  </form>
</header>"""


FOOTER = f"""<footer class="footer">
  <div class="footer-links">
    <a href="/about.html" target="_blank">关于我们</a>
    <a href="javascript:void(0)" onclick="kam.popup('/feedback.html')">意见反馈</a>
    <a href="/about.html#copyright" target="_blank">版权声明</a>
  </div>
  <p>{SITE_NAME} · 演示站点 · 本站所有内容均为演示数据，不含任何视频文件</p>
</footer>
<script src="/js/site.js"></script>"""


def poster(title, size="card"):
    return (f'<div class="poster poster-{size}" style="--hue:{title["hue"]}">'
            f'<span class="poster-glyph">{title["glyph"]}</span>'
            f'<span class="poster-name">{esc(title["name"])}</span>'
            f'<span class="poster-score">{title["score"]}</span></div>')


def desktop_link(title):
    return f"dddisk://{title['name']}@@@/title/{title['slug']}.html"


def index_page():
    featured = TITLES[0]
    cards_by_cat = []
    for cat, cat_name in CATEGORIES:
        cards = []
        for t in TITLES:
            if t["cat"] != cat:
                continue
            first_scheme = t["sources"][0][0]
            cards.append(f"""    <article class="card" data-search="{esc(t['name'] + t['cast'] + t['genre'])}">
      <a class="card-cover" href="/title/{t['slug']}.html">{poster(t)}</a>
      <div class="card-body">
        <h3><a href="/title/{t['slug']}.html">{esc(t['name'])}</a></h3>
        <p class="meta">{t['year']} · {t['area']} · {t['genre']} · 共{t['episodes']}集</p>
        <div class="card-actions">
          <a class="btn btn-play" href="{play_link(first_scheme, t['slug'], 1)}">立即播放</a>
          <a class="btn btn-ghost" href="{desktop_link(t)}" title="在桌面创建快捷方式">放到桌面</a>
        </div>
      </div>
    </article>""")
        cards_by_cat.append(f"""  <section class="shelf" id="{cat}">
    <div class="shelf-head"><h2>{cat_name}</h2><span class="shelf-more">共 {len(cards)} 部</span></div>
    <div class="grid">
{chr(10).join(cards)}
    </div>
  </section>""")

    # The newest episodes, straight from the front page, across several sources.
    latest = []
    for t in TITLES:
        scheme, source = t["sources"][-1]
        ep = t["episodes"]
        latest.append(f'      <li><a href="{play_link(scheme, t["slug"], ep)}">'
                      f'<b>{esc(t["name"])}</b> {episode_label(ep)}</a>'
                      f'<span class="tag">{source}</span></li>')
    ranking = []
    for rank, t in enumerate(sorted(TITLES, key=lambda t: -float(t["score"])), start=1):
        ranking.append(f'      <li><span class="rank rank-{rank}">{rank}</span>'
                       f'<a href="/title/{t["slug"]}.html">{esc(t["name"])}</a>'
                       f'<span class="score">{t["score"]}</span></li>')

    f = featured
    hero = f"""  <section class="hero" style="--hue:{f['hue']}">
    <canvas class="hero-canvas" data-hue="{f['hue']}" aria-hidden="true"></canvas>
    <div class="hero-text">
      <span class="hero-badge">本周推荐</span>
      <h1>{esc(f['name'])}</h1>
      <p>{esc(f['blurb'])}</p>
      <div class="hero-actions">
        <a class="btn btn-play btn-lg" href="{play_link(f['sources'][0][0], f['slug'], 1)}">播放第一集</a>
        <a class="btn btn-ghost btn-lg" href="/title/{f['slug']}.html">查看详情</a>
        <a class="btn btn-ghost btn-lg" href="{desktop_link(f)}">放到桌面</a>
      </div>
    </div>
    <div class="hero-poster">{poster(f, "hero")}</div>
  </section>"""

    body = f"""{header("home")}
<main class="page">
{hero}
  <div class="columns">
    <div class="column-main">
{chr(10).join(cards_by_cat)}
      <p class="empty-result" hidden>没有找到相关影片，换个关键词试试。</p>
    </div>
    <aside class="column-side">
      <section class="panel">
        <h2>最新更新</h2>
        <ul class="latest">
{chr(10).join(latest)}
        </ul>
      </section>
      <section class="panel">
        <h2>热播排行</h2>
        <ol class="ranking">
{chr(10).join(ranking)}
        </ol>
      </section>
      <section class="panel panel-promo">
        <h2>看吧客户端</h2>
        <p>桌面播放，一键直达，自动更新。</p>
        <a class="btn btn-play" href="/about.html#client" target="_blank">了解更多</a>
      </section>
    </aside>
  </div>
</main>
{FOOTER}"""
    return page(f"{SITE_NAME} - 经典影视 在线观看", body, body_class="home")


def title_page(t):
    sources = []
    for i, (scheme, source) in enumerate(t["sources"]):
        eps = "".join(
            f'<li><a href="{play_link(scheme, t["slug"], n)}">{episode_label(n)}</a></li>'
            for n in range(1, t["episodes"] + 1))
        sources.append(f"""    <section class="source" id="source-{i + 1}">
      <div class="source-head"><h3>{source}</h3><code>{esc(scheme)}</code><span>更新至{t['episodes']}集</span></div>
      <ul class="episodes">{eps}</ul>
    </section>""")
    others = "".join(
        f'<li><a href="/title/{o["slug"]}.html">{poster(o, "mini")}<span>{esc(o["name"])}</span></a></li>'
        for o in TITLES if o is not t)
    body = f"""{header(t['cat'])}
<main class="page">
  <nav class="crumbs"><a href="/">首页</a><i class="sep"></i><a href="/#{t['cat']}">{dict(CATEGORIES)[t['cat']]}</a><i class="sep"></i>{esc(t['name'])}</nav>
  <section class="detail" style="--hue:{t['hue']}">
    <div class="detail-poster">{poster(t, "large")}</div>
    <div class="detail-info">
      <h1>{esc(t['name'])} <small>{t['year']}</small></h1>
      <dl>
        <dt>评分</dt><dd class="score-big">{t['score']}</dd>
        <dt>类型</dt><dd>{t['genre']}</dd>
        <dt>地区</dt><dd>{t['area']}</dd>
        <dt>主演</dt><dd>{esc(t['cast'])}</dd>
        <dt>集数</dt><dd>共{t['episodes']}集</dd>
      </dl>
      <p class="blurb">{esc(t['blurb'])}</p>
      <div class="detail-actions">
        <a class="btn btn-play btn-lg" href="{play_link(t['sources'][0][0], t['slug'], 1)}">立即播放</a>
        <a class="btn btn-ghost btn-lg" href="{desktop_link(t)}">放到桌面</a>
        <a class="btn btn-ghost btn-lg" href="/about.html#share" target="_blank">分享</a>
      </div>
    </div>
  </section>
  <div class="sources">
    <h2>选集播放</h2>
{chr(10).join(sources)}
  </div>
  <section class="related">
    <h2>猜你喜欢</h2>
    <ul class="related-list">{others}</ul>
  </section>
</main>
{FOOTER}"""
    return page(f"{t['name']} - {SITE_NAME}", body)


# Each title's episodes take turns at the three kinds of stream a catalogue serves.
MEDIA = [
    ("mp4", 'src="/media/clip.mp4"', "MP4"),
    ("webm", 'src="/media/clip.webm"', "WebM"),
    ("hls", 'data-hls="/media/hls/index.m3u8"', "HLS"),
]


def play_page(t, episode):
    total = t["episodes"]
    nxt = (f'<a class="ctl-link ctl-next" href="/play/{t["slug"]}-{episode + 1}.html">下一集</a>'
           if episode < total else '<span class="ctl-link is-off">已是最后一集</span>')
    prev = (f'<a class="ctl-link ctl-prev" href="/play/{t["slug"]}-{episode - 1}.html">上一集</a>'
            if episode > 1 else "")
    kind, source, label = MEDIA[(episode - 1) % len(MEDIA)]
    if "long_episode" in t:
        clip = "long" if episode == t["long_episode"] else "episode"
        kind, source, label = "mp4", f'src="/media/{clip}.mp4"', "MP4"
    head = '<link rel="stylesheet" href="/css/player.css">\n'
    hls = '<script src="/vendor/hls.min.js"></script>\n' if kind == "hls" else ""
    body = f"""<div class="player" style="--hue:{t['hue']}" data-title="{esc(t['name'])}" data-episode="{episode}">
  <div class="player-top">
    <span class="now">正在播放：<b>{esc(t['name'])}</b> {episode_label(episode)}</span>
    <a class="close" href="colse://close" title="关闭播放器">关闭</a>
  </div>
  <video class="screen" data-kind="{kind}" {source} autoplay playsinline preload="auto" aria-label="{esc(t['name'])} {episode_label(episode)}"></video>
  <div class="osd"><span class="osd-glyph">{t['glyph']}</span><span class="osd-text">{esc(t['name'])} · {episode_label(episode)}</span></div>
  <div class="notice" hidden><b>视频加载失败</b><span>请稍后再试，或换一个播放源</span></div>
  <button class="big-play" type="button" aria-label="播放" hidden></button>
  <div class="controls">
    <button class="ctl ctl-play" type="button" aria-label="暂停"></button>
    <div class="progress"><div class="progress-buffer"></div><div class="progress-done"></div><div class="progress-knob"></div></div>
    <span class="time"><span class="time-now">00:00</span> / <span class="time-total">00:00</span></span>
    {prev}{nxt}
    <span class="ctl-quality" title="播放格式">{label}</span>
    <button class="ctl ctl-mute" type="button" aria-label="静音"></button>
    <button class="ctl ctl-pip" type="button" aria-label="画中画" title="画中画"></button>
    <button class="ctl ctl-full" type="button" aria-label="全屏"></button>
  </div>
</div>
{hls}<script src="/js/player.js"></script>"""
    return page(f"{t['name']} {episode_label(episode)} - {SITE_NAME}", body, head, "play")


def write(relative, text):
    path = SITE / relative
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(text, encoding="utf-8", newline="\n")


def main():
    used = {scheme.lower() for t in TITLES for scheme, _ in t["sources"]}
    missing = [s for s in ALL_SCHEMES if s not in used]
    assert not missing, f"schemes without a source: {missing}"

    write("index.html", index_page())
    for t in TITLES:
        write(f"title/{t['slug']}.html", title_page(t))
        for n in range(1, t["episodes"] + 1):
            write(f"play/{t['slug']}-{n}.html", play_page(t, n))
    print(f"wrote {SITE.relative_to(pathlib.Path.cwd()) if SITE.is_relative_to(pathlib.Path.cwd()) else SITE}")


if __name__ == "__main__":
    os.chdir(pathlib.Path(__file__).resolve().parent.parent.parent)
    main()
