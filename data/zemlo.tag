改行
<br>
段落
<p>
段落の終わり
</p>
水平線
<hr>
水平線（太さ2・影なし）
<hr size="2" noshade>
中央揃え
<center>
中央揃えの終わり
</center>
右寄せ
<div align="right">
右寄せの終わり
</div>
文字色（赤）
<font color="#FF0000">
文字色（青）
<font color="#0000FF">
文字色（緑）
<font color="#008000">
文字色（橙）
<font color="#FF9900">
文字色の終わり
</font>
リンク
<a href="">
リンクの終わり
</a>
アクセスキー付きリンク（1）
<a href="" accesskey="1">
アクセスキー付きリンク（0）
<a href="" accesskey="0">
アクセスキー付きリンク（＃）
<a href="" accesskey="#">
ページ内の目印
<a name="top">
ページ先頭へ戻るリンク
<a href="#top" accesskey="*">▲上へ</a>
電話をかけるリンク
<a href="tel:0312345678">
メール送信リンク
<a href="mailto:info@example.jp">
件名付きメール送信リンク
<a href="mailto:info@example.jp?subject=お問い合わせ">
画像
<img src="image.gif" alt="">
画像（幅・高さ指定）
<img src="image.gif" width="96" height="72" alt="">
画像（中央揃え）
<center><img src="logo.gif" alt=""></center>
ページの始まり
<html><head><title></title></head><body>
ページの終わり
</body></html>
背景色と文字色
<body bgcolor="#FFFFFF" text="#000000" link="#0000FF" vlink="#800080">
文字コードの指定
<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">
フォーム
<form action="" method="post">
フォームの終わり
</form>
文字入力欄（全角かな）
<input type="text" name="" size="12" istyle="1">
文字入力欄（半角ｶﾅ）
<input type="text" name="" size="12" istyle="2">
文字入力欄（英字）
<input type="text" name="" size="12" istyle="3">
文字入力欄（数字）
<input type="text" name="" size="12" istyle="4">
パスワード入力欄
<input type="password" name="" size="8">
チェックボックス
<input type="checkbox" name="" value="">
ラジオボタン
<input type="radio" name="" value="">
送信ボタン
<input type="submit" value="送信">
リセットボタン
<input type="reset" value="ﾘｾｯﾄ">
隠しデータ
<input type="hidden" name="" value="">
選択メニュー
<select name="">
選択肢
<option value="">
選択メニューの終わり
</select>
複数行の入力欄
<textarea name="" rows="3" cols="16"></textarea>
箇条書き
<ul>
箇条書きの項目
<li>
箇条書きの終わり
</ul>
流れる文字（マーキー）
<marquee>
マーキーの終わり
</marquee>
点滅する文字
<blink>
点滅の終わり
</blink>
絵文字（晴れ）
&#63647;
絵文字（くもり）
&#63648;
コメント
<!--  -->
